#include "connection_stream.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

#include "socket_util.h"

namespace update_service {
namespace {

// Longer heads are kept only up to this size.
constexpr std::size_t kHeadLimit = 64 * 1024;

}  // namespace

bool ConnectionStream::is_readable() const {
  return buffered() || WaitForSocket(sock_, POLLIN, read_timeout_ms_);
}

bool ConnectionStream::is_writable() const {
  return !dropped_ && WaitForSocket(sock_, POLLOUT, write_timeout_ms_);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (begin_ == end_) {
    if (!transport_.HasBuffered() && !WaitForSocket(sock_, POLLIN, read_timeout_ms_)) return -1;
    const ssize_t got = transport_.Receive(buffer_, sizeof(buffer_));
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

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  if (dropped_ || !WaitForSocket(sock_, POLLOUT, write_timeout_ms_)) return -1;
  const ssize_t sent = transport_.Send(ptr, size);
  if (sent > 0) written_ += static_cast<std::uint64_t>(sent);
  return sent;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(sock_, true, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(sock_, false, ip, port);
}

void ConnectionStream::StartRequest() {
  head_.clear();
  head_complete_ = false;
  written_ = 0;
}

void ConnectionStream::Record(const char* data, std::size_t size) {
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

}  // namespace update_service
