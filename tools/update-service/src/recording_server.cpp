#include "recording_server.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace update_service {
namespace {

// Longer heads are kept only up to this size.
constexpr std::size_t kHeadLimit = 64 * 1024;

int ToMilliseconds(time_t sec, time_t usec) { return static_cast<int>(sec * 1000 + usec / 1000); }

bool WaitFor(socket_t sock, short events, int timeout_ms) {
  pollfd entry{sock, events, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, timeout_ms);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void NumericAddress(const sockaddr_storage& address, socklen_t length, std::string& ip,
                    int& port) {
  char host[NI_MAXHOST] = "";
  char service[NI_MAXSERV] = "";
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof(host),
                    service, sizeof(service), NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

class ConnectionStream : public httplib::Stream {
 public:
  ConnectionStream(socket_t sock, int read_timeout_ms, int write_timeout_ms)
      : sock_(sock), read_timeout_ms_(read_timeout_ms), write_timeout_ms_(write_timeout_ms) {}

  bool is_readable() const override {
    return begin_ < end_ || WaitFor(sock_, POLLIN, read_timeout_ms_);
  }

  bool is_writable() const override {
    return !dropped_ && WaitFor(sock_, POLLOUT, write_timeout_ms_);
  }

  ssize_t read(char* ptr, size_t size) override {
    if (begin_ == end_) {
      if (!WaitFor(sock_, POLLIN, read_timeout_ms_)) return -1;
      ssize_t got;
      do {
        got = ::recv(sock_, buffer_, sizeof(buffer_), 0);
      } while (got < 0 && errno == EINTR);
      if (got <= 0) return got;
      begin_ = 0;
      end_ = static_cast<std::size_t>(got);
    }
    const std::size_t count = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_ + begin_, count);
    begin_ += count;
    Record(ptr, count);
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (dropped_ || !WaitFor(sock_, POLLOUT, write_timeout_ms_)) return -1;
    ssize_t sent;
    do {
      sent = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      NumericAddress(address, length, ip, port);
    }
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      NumericAddress(address, length, ip, port);
    }
  }

  socket_t socket() const override { return sock_; }

  void StartRequest() {
    head_.clear();
    head_complete_ = false;
  }

  const std::string& head() const { return head_; }
  void Drop() { dropped_ = true; }
  bool dropped() const { return dropped_; }
  bool buffered() const { return begin_ < end_; }

 private:
  void Record(const char* data, std::size_t size) {
    if (head_complete_) return;
    const std::size_t old_size = head_.size();
    head_.append(data, std::min(size, kHeadLimit - std::min(kHeadLimit, old_size)));
    // The head ends with an empty line; look only where a new one can be.
    const std::size_t crlf_from = old_size < 3 ? 0 : old_size - 3;
    const std::size_t lf_from = old_size < 1 ? 0 : old_size - 1;
    if (head_.find("\r\n\r\n", crlf_from) != std::string::npos ||
        head_.find("\n\n", lf_from) != std::string::npos || head_.size() >= kHeadLimit) {
      head_complete_ = true;
    }
  }

  socket_t sock_;
  int read_timeout_ms_;
  int write_timeout_ms_;
  char buffer_[4096];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::string head_;
  bool head_complete_ = false;
  bool dropped_ = false;
};

thread_local ConnectionStream* current_stream = nullptr;

}  // namespace

std::string RecordingServer::CurrentRequestHead() {
  return current_stream ? current_stream->head() : std::string();
}

void RecordingServer::DropCurrentConnection() {
  if (current_stream) current_stream->Drop();
}

bool RecordingServer::WaitForRequest(socket_t sock, bool data_buffered) const {
  if (data_buffered) return true;
  // Poll in short slices so that stopping the server does not wait for idle
  // keep-alive connections to time out.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
  while (is_running()) {
    if (WaitFor(sock, POLLIN, 100)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
  return false;
}

void RecordingServer::Shutdown() {
  stop();
  std::lock_guard<std::mutex> lock(sockets_mutex_);
  for (socket_t sock : open_sockets_) ::shutdown(sock, SHUT_RDWR);
}

bool RecordingServer::process_and_close_socket(socket_t sock) {
  {
    std::lock_guard<std::mutex> lock(sockets_mutex_);
    open_sockets_.insert(sock);
  }
  ConnectionStream stream(sock, ToMilliseconds(read_timeout_sec_, read_timeout_usec_),
                          ToMilliseconds(write_timeout_sec_, write_timeout_usec_));
  current_stream = &stream;
  bool ok = false;
  for (std::size_t left = keep_alive_max_count_; left > 0; --left) {
    if (!WaitForRequest(sock, stream.buffered())) break;
    stream.StartRequest();
    bool closed = false;
    ok = process_request(stream, left == 1, closed, [](httplib::Request& request) {
      // Replies are the exact bytes whose size and digest were announced, so
      // httplib must neither compress them nor serve parts of them.
      request.headers.erase("Accept-Encoding");
      request.headers.erase("Range");
      request.ranges.clear();
    });
    if (!ok || closed || stream.dropped()) break;
  }
  current_stream = nullptr;
  {
    // Forget the socket before closing it, so Shutdown never touches a reused descriptor.
    std::lock_guard<std::mutex> lock(sockets_mutex_);
    open_sockets_.erase(sock);
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return ok;
}

}  // namespace update_service
