#include "socket_util.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>

namespace update_service {

bool WaitForSocket(int sock, short events, int timeout_ms) {
  pollfd entry{sock, events, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, timeout_ms);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

bool SocketAddress(int sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? ::getpeername(sock, raw, &length) : ::getsockname(sock, raw, &length)) != 0) {
    return false;
  }
  char host[NI_MAXHOST] = "";
  char service[NI_MAXSERV] = "";
  if (::getnameinfo(raw, length, host, sizeof(host), service, sizeof(service),
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return false;
  }
  ip = host;
  port = std::atoi(service);
  return true;
}

std::string PeerText(int sock) {
  std::string ip;
  int port = 0;
  if (!SocketAddress(sock, true, ip, port)) return "an unknown peer";
  return ip + ":" + std::to_string(port);
}

}  // namespace update_service
