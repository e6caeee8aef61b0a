// What only the HTTPS service does: refusing unusable certificates, reporting
// failed handshakes, and ending replies with or without TLS close_notify.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "raw_exchange.h"
#include "service_test.h"
#include "test_certificate.h"

namespace update_service {
namespace {

using testing::ServiceProcess;
using testing::TestFolder;

using Https = testing::ServiceTest;

struct BadFilesCase {
  const char* name;
  std::string cert;  // empty: leave --cert out
  std::string key;
  const char* message;  // a part of stderr
};

TEST_F(Https, UnusableCertificateOrKeyExitsWith2) {
  const std::string cert = CertFile();
  TestFolder other;
  std::string error;
  ASSERT_TRUE(testing::MakeTestCertificate(other, error)) << error;
  scratch_.Write("garbage.pem", "not a certificate\n");
  const std::string encrypted = scratch_.File("encrypted.pem");
  ASSERT_EQ(std::system(("openssl pkey -in '" + KeyFile() + "' -aes128 -passout pass:secret -out '" +
                         encrypted + "'").c_str()),
            0);
  const std::string ed25519 = scratch_.File("ed25519.pem");
  ASSERT_EQ(std::system(("openssl genpkey -algorithm ed25519 -out '" + ed25519 + "'").c_str()), 0);

  const BadFilesCase cases[] = {
      {"missing certificate", scratch_.File("none.pem"), KeyFile(), "cannot open the certificate"},
      {"missing key", cert, scratch_.File("none.pem"), "cannot open the private key"},
      {"certificate not PEM", scratch_.File("garbage.pem"), KeyFile(),
       "as the certificate (--cert): it holds no PEM certificate"},
      {"key given as certificate", KeyFile(), KeyFile(), "as the certificate (--cert)"},
      {"key not PEM", cert, scratch_.File("garbage.pem"),
       "as the private key (--key): it holds no unencrypted PEM private key"},
      {"certificate given as key", cert, cert, "as the private key (--key)"},
      // Fails at once instead of asking for the pass phrase on the terminal.
      {"encrypted key", cert, encrypted, "as the private key (--key)"},
      {"key of another certificate", cert, other.File("key.pem"),
       "does not belong to the certificate"},
      {"key of another type", cert, ed25519, "does not belong to the certificate"},
      {"key without certificate", "", KeyFile(), "--cert FILE and --key FILE go together"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"--release", release_.path(), "--port", "0"};
    if (!c.cert.empty()) args.insert(args.end(), {"--cert", c.cert});
    args.insert(args.end(), {"--key", c.key});
    ServiceProcess service;
    EXPECT_FALSE(service.Start(args, scratch_.File("stderr.txt"), error));
    EXPECT_EQ(service.WaitForExit(10), 2);
    const std::string stderr_text = scratch_.Read("stderr.txt");
    EXPECT_NE(stderr_text.find(c.message), std::string::npos) << stderr_text;
  }
}

TEST_F(Https, FailedHandshakeIsReported) {
  ServiceProcess service;
  Start(service, {}, "https");
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(testing::RawExchange(service.port(), "GET / HTTP/1.0\r\n\r\n"), "");
  // Still serving after the failed handshake.
  EXPECT_EQ(Fetch(service, std::string(testing::kQuery) + "2").status, 200);
  EXPECT_EQ(service.Stop(), 0);
  const std::string stderr_text = scratch_.Read("stderr.txt");
  EXPECT_NE(stderr_text.find("TLS handshake with 127.0.0.1:"), std::string::npos) << stderr_text;
  EXPECT_NE(stderr_text.find("plain HTTP sent to the HTTPS port"), std::string::npos)
      << stderr_text;
}

TEST_F(Https, OnlyCompleteRepliesEndWithCloseNotify) {
  // Without a length the end of the connection ends the body, so a cut one
  // must not end the way a complete one does.
  const std::string request = "GET /files/app.7z HTTP/1.0\r\nHost: localhost\r\n\r\n";
  for (bool cut : {false, true}) {
    SCOPED_TRACE(cut ? "cut at the full size" : "complete");
    std::vector<std::string> faults = {"file:app.7z:no-length"};
    if (cut) faults.push_back("file:app.7z:cut=300000");
    ServiceProcess service;
    Start(service, faults, "https");
    ASSERT_FALSE(HasFatalFailure());
    bool clean_end = false;
    const std::string reply =
        testing::TlsExchange(service.port(), request, scratch_.File("cert.pem"), &clean_end);
    const std::size_t body = reply.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos) << reply.substr(0, 200);
    EXPECT_TRUE(reply.substr(body + 4) == app_);
    EXPECT_EQ(clean_end, !cut);
    EXPECT_EQ(service.Stop(), 0);
  }
}

}  // namespace
}  // namespace update_service
