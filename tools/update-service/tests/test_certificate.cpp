#include "test_certificate.h"

#include <cstdlib>

#include "test_folder.h"

namespace update_service::testing {

bool MakeTestCertificate(const TestFolder& folder, std::string& error) {
  // An EC key keeps the generation fast enough to do in every test.
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
      " -subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1"
      " -keyout '" + folder.File("key.pem") + "' -out '" + folder.File("cert.pem") +
      "' 2>'" + folder.File("openssl.txt") + "'";
  if (std::system(command.c_str()) != 0) {
    error = "openssl req failed: " + folder.Read("openssl.txt");
    return false;
  }
  return true;
}

}  // namespace update_service::testing
