// Requests sent byte for byte, bypassing any HTTP client, so tests control the
// exact request line and header lines.
#pragma once

#include <string>

namespace update_service::testing {

// Sends request on a plain connection to 127.0.0.1:port and returns
// everything until the server closes.
std::string RawExchange(int port, const std::string& request);

// The same over TLS, checking the server's certificate for "localhost"
// against ca_file. Empty when the handshake fails. clean_end, when given,
// tells whether the server ended with a TLS close_notify.
std::string TlsExchange(int port, const std::string& request, const std::string& ca_file,
                        bool* clean_end = nullptr);

}  // namespace update_service::testing
