#include "tls_transport.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <poll.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "socket_util.h"
#include "tls_context.h"

namespace update_service {
namespace {

int ClampToInt(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::string FailureReason() {
  std::string reason = TakeOpenSslError();
  if (reason.empty()) reason = errno != 0 ? std::strerror(errno) : "the connection was closed";
  return reason;
}

}  // namespace

std::unique_ptr<TlsTransport> TlsTransport::Accept(SSL_CTX* ctx, int sock, int timeout_ms,
                                                   std::string& error) {
  ERR_clear_error();
  SSL* ssl = SSL_new(ctx);
  if (!ssl) {
    error = FailureReason();
    return nullptr;
  }
  std::unique_ptr<TlsTransport> transport(new TlsTransport(ssl));
  if (SSL_set_fd(ssl, sock) != 1) {
    error = FailureReason();
    return nullptr;
  }
  // The handshake runs non-blocking so that each step waits only as long as
  // a read may, and a silent client cannot hold the thread for good.
  const int flags = ::fcntl(sock, F_GETFL);
  ::fcntl(sock, F_SETFL, flags | O_NONBLOCK);
  bool done = false;
  for (;;) {
    ERR_clear_error();
    errno = 0;
    const int result = SSL_accept(ssl);
    if (result == 1) {
      done = true;
      break;
    }
    const int reason = SSL_get_error(ssl, result);
    const short events =
        reason == SSL_ERROR_WANT_READ ? POLLIN : reason == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
    if (events == 0) {
      error = FailureReason();
      if (error == "http request") error += " (plain HTTP sent to the HTTPS port)";
      break;
    }
    if (!WaitForSocket(sock, events, timeout_ms)) {
      error = "the client did not finish the handshake in time";
      break;
    }
  }
  ::fcntl(sock, F_SETFL, flags);
  if (!done) return nullptr;
  return transport;
}

TlsTransport::~TlsTransport() { SSL_free(ssl_); }

void TlsTransport::Check(int result) {
  if (result > 0) return;
  const int reason = SSL_get_error(ssl_, result);
  if (reason == SSL_ERROR_SYSCALL || reason == SSL_ERROR_SSL) failed_ = true;
}

ssize_t TlsTransport::Receive(char* buffer, std::size_t size) {
  ERR_clear_error();
  const int got = SSL_read(ssl_, buffer, ClampToInt(size));
  if (got > 0) return got;
  Check(got);
  return SSL_get_error(ssl_, got) == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

ssize_t TlsTransport::Send(const char* data, std::size_t size) {
  ERR_clear_error();
  const int sent = SSL_write(ssl_, data, ClampToInt(size));
  Check(sent);
  return sent > 0 ? sent : -1;
}

bool TlsTransport::HasBuffered() const { return SSL_pending(ssl_) > 0; }

void TlsTransport::Finish(bool clean) {
  if (!clean || failed_) return;
  ERR_clear_error();
  SSL_shutdown(ssl_);
  ERR_clear_error();
}

}  // namespace update_service
