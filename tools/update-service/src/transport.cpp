#include "transport.h"

#include <sys/socket.h>

#include <cerrno>

namespace update_service {

ssize_t PlainTransport::Receive(char* buffer, std::size_t size) {
  ssize_t got;
  do {
    got = ::recv(sock_, buffer, size, 0);
  } while (got < 0 && errno == EINTR);
  return got;
}

ssize_t PlainTransport::Send(const char* data, std::size_t size) {
  ssize_t sent;
  do {
    sent = ::send(sock_, data, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent;
}

}  // namespace update_service
