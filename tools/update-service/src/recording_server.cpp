#include "recording_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <type_traits>

#include "connection_stream.h"
#include "socket_util.h"
#include "tls_context.h"
#include "tls_transport.h"

namespace update_service {
namespace {

int ToMilliseconds(time_t sec, time_t usec) { return static_cast<int>(sec * 1000 + usec / 1000); }

thread_local ConnectionStream* current_stream = nullptr;

// The connection loop of httplib::Server or httplib::SSLServer, read through
// our own stream. The TLS server only lends its OpenSSL context; the
// handshake and the encryption happen in TlsTransport.
template <class Base>
class Recording final : public Base, public RecordingServer {
 public:
  using Base::Base;

  httplib::Server& http() override { return *this; }

  const char* scheme() const override { return kTls ? "https" : "http"; }

  void Shutdown() override {
    this->stop();
    std::lock_guard<std::mutex> lock(sockets_mutex_);
    for (socket_t sock : open_sockets_) ::shutdown(sock, SHUT_RDWR);
  }

 private:
  static constexpr bool kTls = std::is_same_v<Base, httplib::SSLServer>;

  bool process_and_close_socket(socket_t sock) override {
    {
      std::lock_guard<std::mutex> lock(sockets_mutex_);
      open_sockets_.insert(sock);
    }
    bool ok = false;
    if (auto transport = OpenTransport(sock)) ok = Serve(sock, *transport);
    {
      // Forget the socket before closing it, so Shutdown never touches a reused descriptor.
      std::lock_guard<std::mutex> lock(sockets_mutex_);
      open_sockets_.erase(sock);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
  }

  std::unique_ptr<Transport> OpenTransport(socket_t sock) {
    if constexpr (kTls) {
      std::string error;
      auto tls = TlsTransport::Accept(this->ssl_context(), sock, ReadTimeoutMs(), error);
      // A client that rejects the certificate shows up here, not in the request log.
      if (!tls) {
        std::fprintf(stderr, "update-service: TLS handshake with %s failed: %s\n",
                     PeerText(sock).c_str(), error.c_str());
      }
      return tls;
    } else {
      return std::make_unique<PlainTransport>(sock);
    }
  }

  bool Serve(socket_t sock, Transport& transport) {
    ConnectionStream stream(sock, transport, ReadTimeoutMs(),
                            ToMilliseconds(this->write_timeout_sec_, this->write_timeout_usec_));
    current_stream = &stream;
    bool ok = false;
    for (std::size_t left = this->keep_alive_max_count_; left > 0; --left) {
      if (!WaitForRequest(sock, stream.buffered())) break;
      stream.StartRequest();
      bool closed = false;
      ok = this->process_request(stream, left == 1, closed, [](httplib::Request& request) {
        // Replies are the exact bytes whose size and digest were announced, so
        // httplib must neither compress them nor serve parts of them.
        request.headers.erase("Accept-Encoding");
        request.headers.erase("Range");
        request.ranges.clear();
      });
      if (!ok || closed || stream.dropped()) break;
    }
    current_stream = nullptr;
    // A failure before any reply byte is only the end of an idle connection.
    transport.Finish(!stream.dropped() && (ok || !stream.replied()));
    return ok;
  }

  bool WaitForRequest(socket_t sock, bool data_buffered) const {
    if (data_buffered) return true;
    // Poll in short slices so that stopping the server does not wait for idle
    // keep-alive connections to time out.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(this->keep_alive_timeout_sec_);
    while (this->is_running()) {
      if (WaitForSocket(sock, POLLIN, 100)) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
    }
    return false;
  }

  int ReadTimeoutMs() const {
    return ToMilliseconds(this->read_timeout_sec_, this->read_timeout_usec_);
  }

  std::mutex sockets_mutex_;
  std::set<socket_t> open_sockets_;
};

}  // namespace

std::unique_ptr<RecordingServer> RecordingServer::Plain() {
  return std::make_unique<Recording<httplib::Server>>();
}

std::unique_ptr<RecordingServer> RecordingServer::Https(const std::string& cert_file,
                                                        const std::string& key_file,
                                                        std::string& error) {
  error.clear();
  auto server = std::make_unique<Recording<httplib::SSLServer>>(
      [&](SSL_CTX& ctx) { return LoadCertificateAndKey(ctx, cert_file, key_file, error); });
  if (server->is_valid()) return server;
  if (error.empty()) error = "cannot set up TLS: " + TakeOpenSslError();
  return nullptr;
}

std::string RecordingServer::CurrentRequestHead() {
  return current_stream ? current_stream->head() : std::string();
}

void RecordingServer::DropCurrentConnection() {
  if (current_stream) current_stream->Drop();
}

}  // namespace update_service
