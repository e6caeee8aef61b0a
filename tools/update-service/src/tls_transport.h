// TLS over an accepted socket, for the HTTPS service.
#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "transport.h"

namespace update_service {

class TlsTransport : public Transport {
 public:
  // Runs the server side of the handshake on sock, waiting at most timeout_ms
  // for each step. Null with the reason when it fails.
  static std::unique_ptr<TlsTransport> Accept(SSL_CTX* ctx, int sock, int timeout_ms,
                                              std::string& error);
  ~TlsTransport() override;
  TlsTransport(const TlsTransport&) = delete;
  TlsTransport& operator=(const TlsTransport&) = delete;

  ssize_t Receive(char* buffer, std::size_t size) override;
  ssize_t Send(const char* data, std::size_t size) override;
  bool HasBuffered() const override;
  // A clean finish sends close_notify. Without it a client sees a broken-off
  // reply, even one whose end is the end of the connection, as truncated.
  void Finish(bool clean) override;

 private:
  explicit TlsTransport(SSL* ssl) : ssl_(ssl) {}

  // Notes a fatal error, after which OpenSSL allows no close_notify.
  void Check(int result);

  SSL* ssl_;
  bool failed_ = false;
};

}  // namespace update_service
