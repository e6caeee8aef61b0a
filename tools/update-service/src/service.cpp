#include "service.h"

#include <cstdio>

#include "query_reply.h"
#include "request_log.h"
#include "stop_signal.h"

namespace update_service {
namespace {

constexpr char kQueryPath[] = "/api/files/download/client";
constexpr char kFilesPrefix[] = "/files/";
constexpr char kJsonType[] = "application/json";
constexpr char kFileType[] = "application/octet-stream";
constexpr char kTextType[] = "text/plain";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Threads for connections; stalled replies hold one each.
constexpr std::size_t kConnectionThreads = 16;
constexpr time_t kSocketTimeoutSeconds = 60;

Reply TextReply(int status, const std::string& text) {
  Reply reply;
  reply.status = status;
  reply.content_type = kTextType;
  reply.body = text + "\n";
  return reply;
}

}  // namespace

UpdateService::UpdateService(Release release, FaultPlan& faults, RequestLog& log, StopSignal& stop,
                             std::unique_ptr<RecordingServer> server)
    : release_(std::move(release)), faults_(faults), log_(log), stop_(stop),
      server_(std::move(server)) {
  httplib::Server& http = server_->http();
  http.new_task_queue = [] { return new httplib::ThreadPool(kConnectionThreads); };
  // Clients may pause, in a debugger or a slow progress callback; give them
  // as long as the installer itself waits for us.
  http.set_read_timeout(kSocketTimeoutSeconds);
  http.set_write_timeout(kSocketTimeoutSeconds);
  http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    Handle(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
}

bool UpdateService::WarmUp(std::string& error) {
  for (int type = 1; type <= kKindCount; ++type) {
    const auto kind = static_cast<PackageKind>(type);
    const Package* package = release_.Find(kind);
    if (!package) {
      std::fprintf(stderr, "update-service: type%d %s: none (answers 404)\n", type,
                   KindMemberName(kind));
      continue;
    }
    FileFacts facts;
    if (!digests_.Get(package->path, facts, error)) return false;
    std::fprintf(stderr, "update-service: type%d %s: %s, version \"%s\", %llu bytes, sha1 %s\n",
                 type, KindMemberName(kind), package->file.c_str(), package->version.c_str(),
                 static_cast<unsigned long long>(facts.size), facts.sha1.c_str());
  }
  return true;
}

bool UpdateService::Bind(int port, std::string& error) {
  if (port == 0) {
    port_ = server_->http().bind_to_any_port("127.0.0.1");
    if (port_ > 0) return true;
  } else if (server_->http().bind_to_port("127.0.0.1", port)) {
    port_ = port;
    return true;
  }
  error = "cannot listen on 127.0.0.1:" + std::to_string(port);
  return false;
}

bool UpdateService::Run() { return server_->http().listen_after_bind(); }

void UpdateService::Stop() { server_->Shutdown(); }

UpdateService::Route UpdateService::Classify(const httplib::Request& req) const {
  Route route;
  if (req.method != "GET" && req.method != "HEAD") return route;
  if (req.path == kQueryPath) {
    const std::string type = req.get_param_value("type");
    if (type == "1" || type == "2" || type == "3") {
      route.key = "type" + type;
      route.kind = static_cast<PackageKind>(type[0] - '0');
      route.package = release_.Find(route.kind);
      route.query = true;
    }
    return route;
  }
  const std::string prefix = kFilesPrefix;
  if (req.path.compare(0, prefix.size(), prefix) == 0) {
    // Only names from release.json are served, so no path can leave the folder.
    route.package = release_.FindFile(req.path.substr(prefix.size()));
    if (route.package) route.key = FileRoute(route.package->file);
  }
  return route;
}

Reply UpdateService::NormalReply(const Route& route, const FaultSet& faults,
                                 const std::string& base_url) {
  if (route.key.empty()) return TextReply(404, "not found");
  if (!route.query) {
    Reply reply;
    reply.content_type = kFileType;
    reply.file = route.package->path;
    return reply;
  }
  if (!route.package) {
    return TextReply(404, std::string("release.json has no ") + KindMemberName(route.kind));
  }
  FileFacts facts;
  std::string error;
  if (!digests_.Get(route.package->path, facts, error)) {
    std::fprintf(stderr, "update-service: %s\n", error.c_str());
    return TextReply(500, error);
  }
  QueryReply query;
  query.download_url = base_url + kFilesPrefix + PercentEncode(route.package->file);
  query.version = route.package->version;
  query.size = static_cast<std::int64_t>(facts.size);
  query.hash = facts.sha1;
  query.release_notes = route.package->notes;
  ApplyQueryFaults(faults, query);

  Reply reply;
  reply.content_type = kJsonType;
  reply.body = ToJson(query);
  return reply;
}

void UpdateService::InjectReplyFaults(const Route& route, const FaultSet& faults,
                                      const std::string& base_url, Reply& reply) const {
  if (faults.redirect_status) {
    const std::string& target = faults.redirect_target;
    reply = TextReply(faults.redirect_status, "");
    reply.location = target[0] == '/' ? base_url + target : target;
    reply.body = "moved to " + reply.location + "\n";
  } else if (faults.status) {
    reply = TextReply(faults.status, "injected fault: status " + std::to_string(faults.status));
  }
  if (faults.replace_body) {
    reply.content_type = route.query ? kJsonType : kFileType;
    reply.body = faults.body;
    reply.file = faults.body_file;
  }
}

void UpdateService::Handle(const httplib::Request& req, httplib::Response& res) {
  const Route route = Classify(req);
  const FaultSet faults = route.key.empty() ? FaultSet{} : faults_.Next(route.key);

  // Links in replies use the address and scheme the client reached us by.
  std::string host = req.get_header_value("Host");
  if (host.empty()) host = "127.0.0.1:" + std::to_string(port_);
  const std::string base_url = std::string(server_->scheme()) + "://" + host;

  Reply reply = NormalReply(route, faults, base_url);
  InjectReplyFaults(route, faults, base_url, reply);

  std::string error;
  auto body = BodySource::Open(reply, faults.bom ? kByteOrderMark : "", error);
  if (!body) {
    std::fprintf(stderr, "update-service: %s\n", error.c_str());
    reply = TextReply(500, error);
    body = BodySource::Open(reply, "", error);
  }

  RequestRecord record;
  record.id = ++last_id_;
  record.remote = req.remote_addr + ":" + std::to_string(req.remote_port);
  record.method = req.method;
  record.target = req.target;
  record.path = req.path;
  const std::size_t question = req.target.find('?');
  if (question != std::string::npos) record.query = req.target.substr(question + 1);
  record.version = req.version;
  record.head = RecordingServer::CurrentRequestHead();
  record.route = route.key.empty() ? "none" : route.key;
  record.faults = faults.applied;
  record.status = faults.drop ? 0 : reply.status;
  record.framing = faults.drop ? "none" : FramingName(faults);
  record.length = body->length();
  record.location = reply.location;
  log_.Request(record);

  if (faults.delay_seconds > 0) stop_.SleepFor(faults.delay_seconds);
  if (faults.drop) {
    RecordingServer::DropCurrentConnection();
    res.status = 500;
    log_.End(ReplyEnd{record.id, 0, body->length(), false, "dropped by fault"});
    return;
  }
  // Other methods may carry a body that is never read, so end the connection.
  if (req.method != "GET" && req.method != "HEAD") {
    res.set_header("Connection", "close");
  }
  SendReply(reply, body, faults, SendContext{record.id, req.method == "HEAD", &log_, &stop_}, res);
}

}  // namespace update_service
