// The fixture of the tests that run the real binary: a release folder with
// three packages, a scratch folder for the log, and clients for plain HTTP and
// for HTTPS with a throwaway certificate.
#pragma once

#include <httplib.h>
#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "service_process.h"
#include "test_folder.h"

namespace update_service::testing {

constexpr char kQuery[] = "/api/files/download/client?type=";
constexpr char kNotes[] = "修复了若干问题";

struct Fetched {
  httplib::Error error = httplib::Error::Unknown;
  int status = 0;
  httplib::Headers headers;
  std::string body;  // what arrived, also when the transfer broke off
  double seconds = 0;

  std::string Header(const std::string& name) const;
};

rapidjson::Document ParseJson(const std::string& text);

// A member of the query reply's "result", as text; "?" when missing.
std::string Member(const rapidjson::Document& doc, const char* name);

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override;

  void WriteManifest(bool with_framework);

  // Starts a service over scheme ("http" or "https") with the given faults,
  // logging to log.jsonl, with extra arguments at the end.
  void Start(ServiceProcess& service, const std::vector<std::string>& faults,
             const std::string& scheme = "http", const std::vector<std::string>& extra = {});

  // httplib's client for the service's scheme. HTTPS goes to "localhost"
  // and checks the certificate against the test CA.
  std::unique_ptr<httplib::ClientImpl> NewClient(const ServiceProcess& service) const;

  // Gets path with a new client, or with the given one.
  Fetched Fetch(const ServiceProcess& service, const std::string& path) const;
  Fetched Fetch(httplib::ClientImpl& client, const std::string& path) const;

  // The scheme, host and port that Fetch and Exchange reach the service by.
  std::string BaseUrl(const ServiceProcess& service) const;

  // Sends request byte for byte over the service's scheme.
  std::string Exchange(const ServiceProcess& service, const std::string& request) const;

  // Waits briefly until the log has at least count lines and returns them.
  std::vector<std::string> LogLines(std::size_t count) const;

  // cert.pem and key.pem in the scratch folder, made on first use.
  std::string CertFile();
  std::string KeyFile() const { return scratch_.File("key.pem"); }

  TestFolder release_;
  TestFolder scratch_;
  std::string setup_, app_, framework_;

 private:
  bool have_certificate_ = false;
};

}  // namespace update_service::testing
