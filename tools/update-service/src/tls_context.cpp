#include "tls_context.h"

#include <openssl/err.h>
#include <openssl/x509.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace update_service {
namespace {

bool Readable(const std::string& path, const char* what, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = std::string("cannot open the ") + what + " " + path + ": " + std::strerror(errno);
    return false;
  }
  std::fclose(file);
  return true;
}

bool Used(int result, const std::string& path, const char* what, const char* holds_no,
          std::string& error) {
  if (result == 1) return true;
  error = "cannot use " + path + " as the " + what + ": it holds no " + holds_no +
          " (OpenSSL: " + TakeOpenSslError() + ")";
  return false;
}

// OpenSSL would otherwise ask for the pass phrase of an encrypted key on the
// terminal, which hangs a service started by a script.
int NoPassphrase(char*, int, int, void*) { return 0; }

}  // namespace

std::string TakeOpenSslError() {
  const unsigned long first = ERR_get_error();
  ERR_clear_error();
  if (first == 0) return std::string();
  if (const char* reason = ERR_reason_error_string(first)) return reason;
  char text[256];
  ERR_error_string_n(first, text, sizeof(text));
  return text;
}

bool LoadCertificateAndKey(SSL_CTX& ctx, const std::string& cert_file,
                           const std::string& key_file, std::string& error) {
  ERR_clear_error();
  // Compression in TLS leaks secrets and no installer needs it.
  SSL_CTX_set_options(&ctx, SSL_OP_NO_COMPRESSION);
  if (!Readable(cert_file, "certificate", error) || !Readable(key_file, "private key", error)) {
    return false;
  }
  SSL_CTX_set_default_passwd_cb(&ctx, NoPassphrase);
  if (!Used(SSL_CTX_use_certificate_chain_file(&ctx, cert_file.c_str()), cert_file,
            "certificate (--cert)", "PEM certificate", error)) {
    return false;
  }
  // A key of another certificate fails here when it is of the certificate's
  // type, and only in the check below otherwise.
  const int key_used = SSL_CTX_use_PrivateKey_file(&ctx, key_file.c_str(), SSL_FILETYPE_PEM);
  const bool mismatch =
      key_used == 1 ? SSL_CTX_check_private_key(&ctx) != 1
                    : ERR_GET_REASON(ERR_peek_error()) == X509_R_KEY_VALUES_MISMATCH;
  if (mismatch) {
    ERR_clear_error();
    error = "the private key in " + key_file + " does not belong to the certificate in " +
            cert_file;
    return false;
  }
  return Used(key_used, key_file, "private key (--key)", "unencrypted PEM private key", error);
}

}  // namespace update_service
