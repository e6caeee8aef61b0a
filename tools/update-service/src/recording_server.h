// An httplib server, plain or HTTPS, that keeps the exact bytes of every
// request head (see connection_stream.h) and can break off its connections.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

namespace update_service {

class RecordingServer {
 public:
  virtual ~RecordingServer() = default;

  // Serves plain HTTP.
  static std::unique_ptr<RecordingServer> Plain();

  // Serves HTTPS with a PEM certificate chain and private key. Null with a
  // message when the files cannot be used.
  static std::unique_ptr<RecordingServer> Https(const std::string& cert_file,
                                                const std::string& key_file, std::string& error);

  // The httplib server, for routes, time-outs and binding.
  virtual httplib::Server& http() = 0;

  // "http" or "https".
  virtual const char* scheme() const = 0;

  // Stops accepting and breaks off the open connections, so that stalled or
  // slow transfers do not hold up the exit.
  virtual void Shutdown() = 0;

  // Request line and header lines, line ends included, of the request that
  // the calling thread is handling.
  static std::string CurrentRequestHead();

  // Makes the connection of the request that the calling thread is handling
  // close without sending any reply.
  static void DropCurrentConnection();
};

}  // namespace update_service
