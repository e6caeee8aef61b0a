// Requests against the real binary on 127.0.0.1, one service per case.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <rapidjson/document.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "service_process.h"
#include "sha1.h"
#include "test_folder.h"

namespace update_service {
namespace {

using testing::PatternBytes;
using testing::ServiceProcess;
using testing::TestFolder;

constexpr char kQuery[] = "/api/files/download/client?type=";
constexpr char kNotes[] = "修复了若干问题";

struct Fetched {
  httplib::Error error = httplib::Error::Unknown;
  int status = 0;
  httplib::Headers headers;
  std::string body;  // what arrived, also when the transfer broke off
  double seconds = 0;

  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
};

Fetched Fetch(int port, const std::string& path) {
  httplib::Client client("127.0.0.1", port);
  client.set_decompress(false);
  client.set_read_timeout(10);
  Fetched fetched;
  const auto start = std::chrono::steady_clock::now();
  auto result = client.Get(
      path,
      [&](const httplib::Response& response) {
        fetched.status = response.status;
        fetched.headers = response.headers;
        return true;
      },
      [&](const char* data, std::size_t size) {
        fetched.body.append(data, size);
        return true;
      });
  fetched.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  fetched.error = result.error();
  return fetched;
}

// Sends request bytes exactly as given and returns everything until the server closes.
std::string RawExchange(int port, const std::string& request) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      ::send(sock, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(sock, buffer, sizeof(buffer), 0)) > 0) reply.append(buffer, got);
  }
  ::close(sock);
  return reply;
}

rapidjson::Document ParseJson(const std::string& text) {
  rapidjson::Document doc;
  doc.Parse(text.data(), text.size());
  return doc;
}

std::string Member(const rapidjson::Document& doc, const char* name) {
  if (!doc.IsObject() || !doc.HasMember("result") || !doc["result"].HasMember(name)) return "?";
  const auto& value = doc["result"][name];
  return value.IsString() ? value.GetString() : std::to_string(value.GetInt64());
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    setup_ = PatternBytes(1000, 1);
    app_ = PatternBytes(300000, 2);
    framework_ = PatternBytes(70000, 3);
    release_.Write("setup.exe", setup_);
    release_.Write("app.7z", app_);
    release_.Write("ndp452.exe", framework_);
    WriteManifest(true);
  }

  void WriteManifest(bool with_framework) {
    std::string manifest =
        R"({"installer": {"file": "setup.exe", "version": "1.0.22.0"},
            "application": {"file": "app.7z", "version": "1.0.21.0", "notes": ")" +
        std::string(kNotes) + "\"}";
    if (with_framework) manifest += R"(, "framework": {"file": "ndp452.exe", "version": "4.5.2"})";
    release_.Write("release.json", manifest + "}");
  }

  // Starts a service with the given faults, logging to log.jsonl.
  void Start(ServiceProcess& service, const std::vector<std::string>& faults) {
    std::vector<std::string> args = {"--release", release_.path(), "--port", "0", "--log",
                                     scratch_.File("log.jsonl")};
    for (const auto& fault : faults) args.insert(args.end(), {"--fault", fault});
    std::string error;
    ASSERT_TRUE(service.Start(args, scratch_.File("stderr.txt"), error)) << error;
  }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    const std::string log = scratch_.Read("log.jsonl");
    for (std::size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos;
         start = end + 1) {
      lines.push_back(log.substr(start, end - start));
    }
    return lines;
  }

  TestFolder release_;
  TestFolder scratch_;
  std::string setup_, app_, framework_;
};

struct Case {
  const char* name;
  std::vector<std::string> faults;
  std::string path;
  std::function<void(const EndToEnd& fixture, int port, const Fetched& got)> check;
};

TEST_F(EndToEnd, Routes) {
  const std::string app = app_;
  const std::string framework = framework_;
  const std::string setup = setup_;
  auto not_found = [](const EndToEnd&, int, const Fetched& got) {
    EXPECT_EQ(got.status, 404);
    EXPECT_EQ(got.body, "not found\n");
  };

  const Case cases[] = {
      {"update query", {}, std::string(kQuery) + "2",
       [&](const EndToEnd&, int port, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         EXPECT_EQ(got.Header("Content-Type"), "application/json");
         EXPECT_EQ(got.Header("Content-Length"), std::to_string(got.body.size()));
         const auto doc = ParseJson(got.body);
         EXPECT_EQ(Member(doc, "download_url"),
                   "http://127.0.0.1:" + std::to_string(port) + "/files/app.7z");
         EXPECT_EQ(Member(doc, "version"), "1.0.21.0");
         EXPECT_EQ(Member(doc, "size"), "300000");
         EXPECT_EQ(Member(doc, "hash"), Sha1Hex(app));
         EXPECT_EQ(Member(doc, "release_notes"), kNotes);
       }},
      {"package file", {}, "/files/app.7z",
       [&](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         EXPECT_EQ(got.Header("Content-Length"), "300000");
         EXPECT_TRUE(got.body == app);
       }},
      {"status fault", {"type1:status=500"}, std::string(kQuery) + "1",
       [](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.status, 500);
         EXPECT_EQ(got.body, "injected fault: status 500\n");
       }},
      {"byte-order mark", {"type3:bom"}, std::string(kQuery) + "3",
       [](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         ASSERT_EQ(got.body.compare(0, 3, "\xEF\xBB\xBF"), 0);
         EXPECT_EQ(got.Header("Content-Length"), std::to_string(got.body.size()));
         EXPECT_EQ(Member(ParseJson(got.body.substr(3)), "version"), "4.5.2");
       }},
      {"chunked file", {"file:ndp452.exe:chunked"}, "/files/ndp452.exe",
       [&](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.Header("Transfer-Encoding"), "chunked");
         EXPECT_EQ(got.Header("Content-Length"), "");
         EXPECT_TRUE(got.body == framework);
       }},
      {"chunked query", {"type2:chunked"}, std::string(kQuery) + "2",
       [](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.Header("Transfer-Encoding"), "chunked");
         EXPECT_EQ(Member(ParseJson(got.body), "version"), "1.0.21.0");
       }},
      {"cut off", {"file:app.7z:cut=1000"}, "/files/app.7z",
       [&](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(got.Header("Content-Length"), "300000");
         EXPECT_NE(got.error, httplib::Error::Success);
         EXPECT_TRUE(got.body == app.substr(0, 1000));
       }},
      {"stall", {"file:setup.exe:stall=100,0.4"}, "/files/setup.exe",
       [&](const EndToEnd&, int, const Fetched& got) {
         EXPECT_TRUE(got.body == setup);
         EXPECT_GE(got.seconds, 0.4);
       }},
      {"wrong size", {"type2:size=-1"}, std::string(kQuery) + "2",
       [](const EndToEnd&, int, const Fetched& got) {
         EXPECT_EQ(Member(ParseJson(got.body), "size"), "299999");
       }},
      {"dropped connection", {"type1:drop"}, std::string(kQuery) + "1",
       [](const EndToEnd&, int, const Fetched& got) {
         EXPECT_NE(got.error, httplib::Error::Success);
         EXPECT_EQ(got.status, 0);
       }},
      {"redirect once", {"file:app.7z:redirect=/files/app.7z", "file:app.7z:times=1"},
       "/files/app.7z",
       [&](const EndToEnd&, int port, const Fetched& got) {
         EXPECT_EQ(got.status, 302);
         EXPECT_EQ(got.Header("Location"),
                   "http://127.0.0.1:" + std::to_string(port) + "/files/app.7z");
         EXPECT_TRUE(Fetch(port, "/files/app.7z").body == app);
       }},
      {"file not in release", {}, "/files/release.json", not_found},
      {"path traversal", {}, "/files/../release.json", not_found},
      {"unknown type", {}, std::string(kQuery) + "4", not_found},
      {"no type", {}, "/api/files/download/client", not_found},
      {"other path", {}, "/", not_found},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServiceProcess service;
    Start(service, c.faults);
    if (HasFatalFailure()) return;
    c.check(*this, service.port(), Fetch(service.port(), c.path));
    EXPECT_EQ(service.Stop(), 0) << "exit status after SIGTERM";
  }
}

TEST_F(EndToEnd, MissingKindAnswers404) {
  WriteManifest(false);
  ServiceProcess service;
  Start(service, {});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Fetch(service.port(), std::string(kQuery) + "3").status, 404);
  EXPECT_EQ(Fetch(service.port(), std::string(kQuery) + "2").status, 200);
}

TEST_F(EndToEnd, LogKeepsTheExactRequestHead) {
  ServiceProcess service;
  Start(service, {});
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> header_lines = {
      "Accept: */*,application/json", "Accept-Charset:UTF8",
      "Accept-Language: zh-cn;q=0.8,en;q=0.6,ja;q=0.4", "Content-Type:application/json",
      "Host: 127.0.0.1:" + std::to_string(service.port())};
  std::string request = "GET /api/files/download/client?type=2 HTTP/1.0\r\n";
  for (const auto& line : header_lines) request += line + "\r\n";
  const std::string reply = RawExchange(service.port(), request + "\r\n");
  EXPECT_EQ(reply.compare(0, 15, "HTTP/1.1 200 OK"), 0) << reply;

  // The end record follows once the reply is out; give it a moment.
  std::vector<std::string> lines;
  for (int i = 0; i < 50 && (lines = LogLines()).size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(lines.size(), 2u);
  rapidjson::Document entry;
  entry.Parse(lines[0].c_str());
  ASSERT_TRUE(entry.IsObject()) << lines[0];
  EXPECT_STREQ(entry["event"].GetString(), "request");
  EXPECT_STREQ(entry["version"].GetString(), "HTTP/1.0");
  EXPECT_STREQ(entry["query"].GetString(), "type=2");
  EXPECT_STREQ(entry["route"].GetString(), "type2");
  const auto& logged = entry["header_lines"];
  ASSERT_EQ(logged.Size(), header_lines.size());
  for (rapidjson::SizeType i = 0; i < logged.Size(); ++i) {
    EXPECT_EQ(logged[i].GetString(), header_lines[i]);
  }
  EXPECT_STREQ(entry["headers"][1][1].GetString(), "UTF8");

  entry.Parse(lines[1].c_str());
  ASSERT_TRUE(entry.IsObject()) << lines[1];
  EXPECT_STREQ(entry["event"].GetString(), "end");
  EXPECT_TRUE(entry["complete"].GetBool());
  EXPECT_EQ(service.Stop(), 0);
}

TEST_F(EndToEnd, StopEndsStalledTransfersPromptly) {
  ServiceProcess service;
  Start(service, {"file:app.7z:stall=1000,30"});
  ASSERT_FALSE(HasFatalFailure());
  Fetched got;
  std::thread client([&] { got = Fetch(service.port(), "/files/app.7z"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(service.Stop(), 0);
  client.join();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5);
  EXPECT_TRUE(got.body == app_.substr(0, 1000));
  EXPECT_NE(got.error, httplib::Error::Success);
}

}  // namespace
}  // namespace update_service
