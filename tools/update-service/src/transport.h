// The byte pipe under a connection: the plain socket, or TLS on top of it.
// The recording stream waits for the socket itself and moves the bytes
// through a transport, so both kinds keep the same request heads and faults.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace update_service {

class Transport {
 public:
  virtual ~Transport() = default;

  // Like recv on a socket that is ready: the bytes got, 0 at the end of the
  // connection, -1 on an error.
  virtual ssize_t Receive(char* buffer, std::size_t size) = 0;

  // Like send: the bytes sent, -1 on an error.
  virtual ssize_t Send(const char* data, std::size_t size) = 0;

  // Received bytes that wait inside the transport, where no poll sees them.
  virtual bool HasBuffered() const { return false; }

  // Called once before the socket is closed. clean is false when a reply was
  // broken off, so that the peer can tell it from a complete one.
  virtual void Finish(bool /*clean*/) {}
};

class PlainTransport : public Transport {
 public:
  explicit PlainTransport(int sock) : sock_(sock) {}

  ssize_t Receive(char* buffer, std::size_t size) override;
  ssize_t Send(const char* data, std::size_t size) override;

 private:
  int sock_;
};

}  // namespace update_service
