// A throwaway self-signed certificate for "localhost" and 127.0.0.1, made with
// the openssl command line. Being self-signed, it is its own test CA.
#pragma once

#include <string>

namespace update_service::testing {

class TestFolder;

// Writes cert.pem and key.pem into folder; false with the reason on failure.
bool MakeTestCertificate(const TestFolder& folder, std::string& error);

}  // namespace update_service::testing
