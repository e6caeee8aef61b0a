// The httplib stream of one connection, which keeps a copy of each request
// head as received: httplib gives handlers the headers in a sorted map with
// the blanks around each value trimmed, but installers are checked on the
// exact header lines they send and on their order.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "transport.h"

namespace update_service {

class ConnectionStream : public httplib::Stream {
 public:
  ConnectionStream(socket_t sock, Transport& transport, int read_timeout_ms,
                   int write_timeout_ms)
      : sock_(sock),
        transport_(transport),
        read_timeout_ms_(read_timeout_ms),
        write_timeout_ms_(write_timeout_ms) {}

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return sock_; }

  // Starts recording the head of the next request.
  void StartRequest();

  // Request line and header lines, line ends included, of the current request.
  const std::string& head() const { return head_; }

  // Makes every further write fail, so the connection ends without a reply.
  void Drop() { dropped_ = true; }
  bool dropped() const { return dropped_; }

  // Whether any reply bytes went out since StartRequest.
  bool replied() const { return written_ > 0; }

  // Received bytes that no poll of the socket would announce.
  bool buffered() const { return begin_ < end_ || transport_.HasBuffered(); }

 private:
  void Record(const char* data, std::size_t size);

  socket_t sock_;
  Transport& transport_;
  int read_timeout_ms_;
  int write_timeout_ms_;
  char buffer_[4096];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::string head_;
  bool head_complete_ = false;
  bool dropped_ = false;
  std::uint64_t written_ = 0;
};

}  // namespace update_service
