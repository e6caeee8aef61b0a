// Puts a reply on the wire the way the faults ask: framing, cut-off, stall.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <memory>
#include <string>

namespace update_service {

struct FaultSet;
class RequestLog;
class StopSignal;

struct Reply {
  int status = 200;
  std::string content_type;
  std::string body;
  std::string file;  // when set, the body is streamed from this file instead
  std::string location;
};

// The bytes of a reply body, read piecewise so that large files never sit in memory.
class BodySource {
 public:
  // Opens the reply's body with an optional prefix (the byte-order mark fault).
  static std::shared_ptr<BodySource> Open(const Reply& reply, const std::string& prefix,
                                          std::string& error);
  ~BodySource();
  BodySource(const BodySource&) = delete;
  BodySource& operator=(const BodySource&) = delete;

  std::uint64_t length() const { return prefix_.size() + (fd_ >= 0 ? file_size_ : text_.size()); }

  // Copies up to size bytes from offset; 0 when nothing could be read.
  std::size_t Read(std::uint64_t offset, char* out, std::size_t size) const;

 private:
  BodySource() = default;

  std::string prefix_;
  std::string text_;
  int fd_ = -1;
  std::uint64_t file_size_ = 0;
};

struct SendContext {
  std::uint64_t id = 0;
  bool head_only = false;  // a HEAD request: httplib sends no body
  RequestLog* log = nullptr;
  StopSignal* stop = nullptr;
};

// Name of the framing the faults choose, for the request log.
const char* FramingName(const FaultSet& faults);

// Fills res; the request log gets the "end" record once the body has gone out
// or the transfer was broken off.
void SendReply(const Reply& reply, std::shared_ptr<BodySource> body, const FaultSet& faults,
               const SendContext& context, httplib::Response& res);

}  // namespace update_service
