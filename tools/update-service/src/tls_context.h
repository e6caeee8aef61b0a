// The certificate and key that the HTTPS service presents, loaded into the
// OpenSSL context with messages that name the file at fault.
#pragma once

#include <openssl/ssl.h>

#include <string>

namespace update_service {

// Loads a PEM certificate chain and its PEM private key into ctx. False with
// a message when a file cannot be read or used, or the two do not match.
bool LoadCertificateAndKey(SSL_CTX& ctx, const std::string& cert_file,
                           const std::string& key_file, std::string& error);

// The first error OpenSSL queued on this thread, in words; empty when there
// is none. Clears the queue.
std::string TakeOpenSslError();

}  // namespace update_service
