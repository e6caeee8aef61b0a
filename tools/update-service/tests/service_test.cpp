#include "service_test.h"

#include <chrono>
#include <thread>

#include "raw_exchange.h"
#include "test_certificate.h"

namespace update_service::testing {

std::string Fetched::Header(const std::string& name) const {
  auto it = headers.find(name);
  return it == headers.end() ? std::string() : it->second;
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

void ServiceTest::SetUp() {
  setup_ = PatternBytes(1000, 1);
  app_ = PatternBytes(300000, 2);
  framework_ = PatternBytes(70000, 3);
  release_.Write("setup.exe", setup_);
  release_.Write("app.7z", app_);
  release_.Write("ndp452.exe", framework_);
  WriteManifest(true);
}

void ServiceTest::WriteManifest(bool with_framework) {
  std::string manifest =
      R"({"installer": {"file": "setup.exe", "version": "1.0.22.0"},
          "application": {"file": "app.7z", "version": "1.0.21.0", "notes": ")" +
      std::string(kNotes) + "\"}";
  if (with_framework) manifest += R"(, "framework": {"file": "ndp452.exe", "version": "4.5.2"})";
  release_.Write("release.json", manifest + "}");
}

void ServiceTest::Start(ServiceProcess& service, const std::vector<std::string>& faults,
                        const std::string& scheme, const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"--release", release_.path(), "--port", "0", "--log",
                                   scratch_.File("log.jsonl")};
  for (const auto& fault : faults) args.insert(args.end(), {"--fault", fault});
  if (scheme == "https") args.insert(args.end(), {"--cert", CertFile(), "--key", KeyFile()});
  args.insert(args.end(), extra.begin(), extra.end());
  std::string error;
  ASSERT_TRUE(service.Start(args, scratch_.File("stderr.txt"), error)) << error;
  ASSERT_EQ(service.scheme(), scheme);
}

std::unique_ptr<httplib::ClientImpl> ServiceTest::NewClient(const ServiceProcess& service) const {
  if (service.scheme() != "https") {
    return std::make_unique<httplib::ClientImpl>("127.0.0.1", service.port());
  }
  auto client = std::make_unique<httplib::SSLClient>("localhost", service.port());
  client->set_ca_cert_path(scratch_.File("cert.pem").c_str());
  client->enable_server_certificate_verification(true);
  return client;
}

Fetched ServiceTest::Fetch(const ServiceProcess& service, const std::string& path) const {
  return Fetch(*NewClient(service), path);
}

Fetched ServiceTest::Fetch(httplib::ClientImpl& client, const std::string& path) const {
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

std::string ServiceTest::BaseUrl(const ServiceProcess& service) const {
  const char* host = service.scheme() == "https" ? "localhost" : "127.0.0.1";
  return service.scheme() + "://" + host + ":" + std::to_string(service.port());
}

std::string ServiceTest::Exchange(const ServiceProcess& service,
                                  const std::string& request) const {
  if (service.scheme() == "https") {
    return TlsExchange(service.port(), request, scratch_.File("cert.pem"));
  }
  return RawExchange(service.port(), request);
}

std::vector<std::string> ServiceTest::LogLines(std::size_t count) const {
  std::vector<std::string> lines;
  // End records follow once a reply is out, so give them a moment.
  for (int attempt = 0; attempt < 50; ++attempt) {
    lines.clear();
    const std::string log = scratch_.Read("log.jsonl");
    for (std::size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos;
         start = end + 1) {
      lines.push_back(log.substr(start, end - start));
    }
    if (lines.size() >= count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return lines;
}

std::string ServiceTest::CertFile() {
  if (!have_certificate_) {
    std::string error;
    have_certificate_ = MakeTestCertificate(scratch_, error);
    EXPECT_TRUE(have_certificate_) << error;
  }
  return scratch_.File("cert.pem");
}

}  // namespace update_service::testing
