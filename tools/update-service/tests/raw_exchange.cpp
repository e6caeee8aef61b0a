#include "raw_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <memory>

namespace update_service::testing {
namespace {

int ConnectLoopback(int port) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(sock);
    return -1;
  }
  return sock;
}

}  // namespace

std::string RawExchange(int port, const std::string& request) {
  const int sock = ConnectLoopback(port);
  std::string reply;
  if (sock >= 0 &&
      ::send(sock, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(sock, buffer, sizeof(buffer), 0)) > 0) reply.append(buffer, got);
  }
  if (sock >= 0) ::close(sock);
  return reply;
}

std::string TlsExchange(int port, const std::string& request, const std::string& ca_file,
                        bool* clean_end) {
  if (clean_end) *clean_end = false;
  std::unique_ptr<SSL_CTX, void (*)(SSL_CTX*)> ctx(SSL_CTX_new(TLS_client_method()),
                                                   &SSL_CTX_free);
  if (!ctx || SSL_CTX_load_verify_locations(ctx.get(), ca_file.c_str(), nullptr) != 1) return "";
  SSL_CTX_set_verify(ctx.get(), SSL_VERIFY_PEER, nullptr);
  std::unique_ptr<SSL, void (*)(SSL*)> ssl(SSL_new(ctx.get()), &SSL_free);
  const int sock = ConnectLoopback(port);
  std::string reply;
  if (ssl && sock >= 0 && SSL_set_fd(ssl.get(), sock) == 1 &&
      SSL_set_tlsext_host_name(ssl.get(), "localhost") == 1 &&
      SSL_set1_host(ssl.get(), "localhost") == 1 && SSL_connect(ssl.get()) == 1 &&
      SSL_write(ssl.get(), request.data(), static_cast<int>(request.size())) ==
          static_cast<int>(request.size())) {
    char buffer[4096];
    int got;
    while ((got = SSL_read(ssl.get(), buffer, sizeof(buffer))) > 0) reply.append(buffer, got);
    if (clean_end) *clean_end = SSL_get_error(ssl.get(), got) == SSL_ERROR_ZERO_RETURN;
  }
  if (sock >= 0) ::close(sock);
  return reply;
}

}  // namespace update_service::testing
