// Requests against the real binary on 127.0.0.1, one service per case, each
// over plain HTTP and over HTTPS.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "service_test.h"
#include "sha1.h"

namespace update_service {
namespace {

using testing::Fetched;
using testing::kNotes;
using testing::kQuery;
using testing::Member;
using testing::ParseJson;
using testing::ServiceProcess;
using testing::Sha1sumOf;

class EndToEnd : public testing::ServiceTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void Start(ServiceProcess& service, const std::vector<std::string>& faults,
             const std::vector<std::string>& extra = {}) {
    ServiceTest::Start(service, faults, GetParam(), extra);
  }
};

struct Case {
  const char* name;
  std::vector<std::string> faults;
  std::string path;
  std::function<void(const ServiceProcess& service, const Fetched& got)> check;
};

TEST_P(EndToEnd, Routes) {
  auto not_found = [](const ServiceProcess&, const Fetched& got) {
    EXPECT_EQ(got.status, 404);
    EXPECT_EQ(got.body, "not found\n");
  };

  const Case cases[] = {
      {"update query", {}, std::string(kQuery) + "2",
       [&](const ServiceProcess& service, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         EXPECT_EQ(got.Header("Content-Type"), "application/json");
         EXPECT_EQ(got.Header("Content-Length"), std::to_string(got.body.size()));
         const auto doc = ParseJson(got.body);
         EXPECT_EQ(Member(doc, "download_url"), BaseUrl(service) + "/files/app.7z");
         EXPECT_EQ(Member(doc, "version"), "1.0.21.0");
         EXPECT_EQ(Member(doc, "size"), "300000");
         EXPECT_EQ(Member(doc, "hash"), Sha1Hex(app_));
         EXPECT_EQ(Member(doc, "release_notes"), kNotes);
       }},
      {"package file", {}, "/files/app.7z",
       [&](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         EXPECT_EQ(got.Header("Content-Length"), "300000");
         EXPECT_TRUE(got.body == app_);
       }},
      {"status fault", {"type1:status=500"}, std::string(kQuery) + "1",
       [](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.status, 500);
         EXPECT_EQ(got.body, "injected fault: status 500\n");
       }},
      {"byte-order mark", {"type3:bom"}, std::string(kQuery) + "3",
       [](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.status, 200);
         ASSERT_EQ(got.body.compare(0, 3, "\xEF\xBB\xBF"), 0);
         EXPECT_EQ(got.Header("Content-Length"), std::to_string(got.body.size()));
         EXPECT_EQ(Member(ParseJson(got.body.substr(3)), "version"), "4.5.2");
       }},
      {"chunked file", {"file:ndp452.exe:chunked"}, "/files/ndp452.exe",
       [&](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.Header("Transfer-Encoding"), "chunked");
         EXPECT_EQ(got.Header("Content-Length"), "");
         EXPECT_TRUE(got.body == framework_);
       }},
      {"chunked query", {"type2:chunked"}, std::string(kQuery) + "2",
       [](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.Header("Transfer-Encoding"), "chunked");
         EXPECT_EQ(Member(ParseJson(got.body), "version"), "1.0.21.0");
       }},
      {"cut off", {"file:app.7z:cut=1000"}, "/files/app.7z",
       [&](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(got.Header("Content-Length"), "300000");
         EXPECT_NE(got.error, httplib::Error::Success);
         EXPECT_TRUE(got.body == app_.substr(0, 1000));
       }},
      {"stall", {"file:setup.exe:stall=100,0.4"}, "/files/setup.exe",
       [&](const ServiceProcess&, const Fetched& got) {
         EXPECT_TRUE(got.body == setup_);
         EXPECT_GE(got.seconds, 0.4);
       }},
      {"wrong size", {"type2:size=-1"}, std::string(kQuery) + "2",
       [](const ServiceProcess&, const Fetched& got) {
         EXPECT_EQ(Member(ParseJson(got.body), "size"), "299999");
       }},
      {"dropped connection", {"type1:drop"}, std::string(kQuery) + "1",
       [](const ServiceProcess&, const Fetched& got) {
         EXPECT_NE(got.error, httplib::Error::Success);
         EXPECT_EQ(got.status, 0);
       }},
      {"redirect once", {"file:app.7z:redirect=/files/app.7z", "file:app.7z:times=1"},
       "/files/app.7z",
       [&](const ServiceProcess& service, const Fetched& got) {
         EXPECT_EQ(got.status, 302);
         EXPECT_EQ(got.Header("Location"), BaseUrl(service) + "/files/app.7z");
         EXPECT_TRUE(Fetch(service, "/files/app.7z").body == app_);
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
    c.check(service, Fetch(service, c.path));
    EXPECT_EQ(service.Stop(), 0) << "exit status after SIGTERM";
  }
}

TEST_P(EndToEnd, MissingKindAnswers404) {
  WriteManifest(false);
  ServiceProcess service;
  Start(service, {});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Fetch(service, std::string(kQuery) + "3").status, 404);
  EXPECT_EQ(Fetch(service, std::string(kQuery) + "2").status, 200);
}

TEST_P(EndToEnd, DownloadMatchesSha1sum) {
  ServiceProcess service;
  Start(service, {});
  ASSERT_FALSE(HasFatalFailure());
  // Query and download on one kept-alive connection, as installers do.
  auto client = NewClient(service);
  client->set_keep_alive(true);
  const Fetched query = Fetch(*client, std::string(kQuery) + "2");
  ASSERT_EQ(query.status, 200) << httplib::to_string(query.error);
  const auto doc = ParseJson(query.body);
  const std::string url = Member(doc, "download_url");
  const std::string base = BaseUrl(service);
  ASSERT_EQ(url.compare(0, base.size(), base), 0) << url;
  const Fetched file = Fetch(*client, url.substr(base.size()));
  ASSERT_EQ(file.status, 200);
  scratch_.Write("downloaded", file.body);

  const std::string expected = Sha1sumOf(release_.File("app.7z"));
  ASSERT_EQ(expected.size(), 40u);
  EXPECT_EQ(Member(doc, "hash"), expected);
  EXPECT_EQ(Sha1sumOf(scratch_.File("downloaded")), expected);

  const auto lines = LogLines(4);
  ASSERT_EQ(lines.size(), 4u);
  rapidjson::Document first, second;
  first.Parse(lines[0].c_str());
  second.Parse(lines[2].c_str());
  ASSERT_TRUE(first.IsObject() && second.IsObject());
  EXPECT_STREQ(first["remote"].GetString(), second["remote"].GetString())
      << "the download should reuse the query's connection";
  EXPECT_EQ(service.Stop(), 0);
}

TEST_P(EndToEnd, LogKeepsTheExactRequestHead) {
  ServiceProcess service;
  Start(service, {});
  ASSERT_FALSE(HasFatalFailure());
  const std::string base = BaseUrl(service);
  const std::vector<std::string> header_lines = {
      "Accept: */*,application/json", "Accept-Charset:UTF8",
      "Accept-Language: zh-cn;q=0.8,en;q=0.6,ja;q=0.4", "Content-Type:application/json",
      "Host: " + base.substr(base.find("://") + 3)};
  std::string request = "GET /api/files/download/client?type=2 HTTP/1.0\r\n";
  for (const auto& line : header_lines) request += line + "\r\n";
  const std::string reply = Exchange(service, request + "\r\n");
  EXPECT_EQ(reply.compare(0, 15, "HTTP/1.1 200 OK"), 0) << reply;

  const auto lines = LogLines(2);
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

TEST_P(EndToEnd, StopEndsStalledTransfersPromptly) {
  ServiceProcess service;
  Start(service, {"file:app.7z:stall=1000,30"});
  ASSERT_FALSE(HasFatalFailure());
  Fetched got;
  std::thread client([&] { got = Fetch(service, "/files/app.7z"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(service.Stop(), 0);
  client.join();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5);
  EXPECT_TRUE(got.body == app_.substr(0, 1000));
  EXPECT_NE(got.error, httplib::Error::Success);
}

TEST_P(EndToEnd, StopFileEndsTheService) {
  const std::string stop_file = scratch_.File("stop");
  ServiceProcess service;
  Start(service, {}, {"--stop-file", stop_file});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Fetch(service, std::string(kQuery) + "1").status, 200);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  scratch_.Write("stop", "");
  EXPECT_EQ(service.WaitForExit(5), 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1);
  EXPECT_NE(scratch_.Read("stderr.txt").find("stopping on the stop file " + stop_file),
            std::string::npos)
      << scratch_.Read("stderr.txt");
}

INSTANTIATE_TEST_SUITE_P(Schemes, EndToEnd, ::testing::Values("http", "https"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace update_service
