// The update service: the update-query route, the package downloads, and the
// faults injected into them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "faults.h"
#include "file_digest.h"
#include "recording_server.h"
#include "release.h"
#include "reply_sender.h"

namespace update_service {

class RequestLog;
class StopSignal;

class UpdateService {
 public:
  // server is plain or HTTPS (see RecordingServer).
  UpdateService(Release release, FaultPlan& faults, RequestLog& log, StopSignal& stop,
                std::unique_ptr<RecordingServer> server);

  // Hashes every package now, so that the first query is answered at once,
  // and lists the release on stderr. False when a package cannot be read.
  bool WarmUp(std::string& error);

  // Binds to 127.0.0.1 only; port 0 picks a free port.
  bool Bind(int port, std::string& error);
  int port() const { return port_; }
  const char* scheme() const { return server_->scheme(); }

  // Serves until Stop(); false when the server failed.
  bool Run();
  void Stop();

 private:
  struct Route {
    std::string key;  // fault route, empty for requests that only get a 404
    PackageKind kind = PackageKind::Installer;
    const Package* package = nullptr;
    bool query = false;
  };

  void Handle(const httplib::Request& req, httplib::Response& res);
  Route Classify(const httplib::Request& req) const;
  // The reply without faults, but with the faults in the JSON members.
  Reply NormalReply(const Route& route, const FaultSet& faults, const std::string& base_url);
  void InjectReplyFaults(const Route& route, const FaultSet& faults, const std::string& base_url,
                         Reply& reply) const;

  Release release_;
  FaultPlan& faults_;
  RequestLog& log_;
  StopSignal& stop_;
  DigestCache digests_;
  std::unique_ptr<RecordingServer> server_;
  int port_ = 0;
  std::atomic<std::uint64_t> last_id_{0};
};

}  // namespace update_service
