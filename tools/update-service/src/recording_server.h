// An httplib server that keeps the exact bytes of every request head.
//
// httplib gives handlers the request headers in a sorted map, with the blanks
// around each value trimmed. Installers are checked on the exact header lines
// they send and on their order, so connections are read through a stream of
// our own that keeps a copy of the request line and header lines.
#pragma once

#include <httplib.h>

#include <mutex>
#include <set>
#include <string>

namespace update_service {

class RecordingServer : public httplib::Server {
 public:
  // Request line and header lines, line ends included, of the request that
  // the calling thread is handling.
  static std::string CurrentRequestHead();

  // Makes the connection of the request that the calling thread is handling
  // close without sending any reply.
  static void DropCurrentConnection();

  // Stops accepting and breaks off the open connections, so that stalled or
  // slow transfers do not hold up the exit.
  void Shutdown();

 private:
  bool process_and_close_socket(socket_t sock) override;
  bool WaitForRequest(socket_t sock, bool data_buffered) const;

  std::mutex sockets_mutex_;
  std::set<socket_t> open_sockets_;
};

}  // namespace update_service
