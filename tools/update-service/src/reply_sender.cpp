#include "reply_sender.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "faults.h"
#include "request_log.h"
#include "stop_signal.h"

namespace update_service {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// State of one body transfer, shared by httplib's provider and releaser callbacks.
class Transfer {
 public:
  Transfer(std::shared_ptr<BodySource> body, const FaultSet& faults, const SendContext& context,
           bool open_ended)
      : body_(std::move(body)),
        cut_after_(faults.cut_after),
        stall_at_(faults.stall_at),
        stall_seconds_(faults.stall_seconds),
        context_(context),
        open_ended_(open_ended),
        block_(kBlockSize) {}

  // One provider call: false breaks the transfer off and closes the connection.
  bool Pump(std::uint64_t offset, std::uint64_t end, httplib::DataSink& sink) {
    if (stall_at_ && !stalled_ && offset >= *stall_at_) {
      stalled_ = true;
      if (!context_.stop->SleepFor(stall_seconds_)) return Abort("service stopping");
    }
    // For chunked and close-delimited replies a cut at the full length still
    // withholds the end of the reply (the last chunk or a clean close).
    if (cut_after_ && offset >= *cut_after_) return Abort("cut off by fault");
    const std::uint64_t length = body_->length();
    if (offset >= length) {
      sink.done();
      finished_ = true;
      return true;
    }
    std::uint64_t count = std::min<std::uint64_t>(std::min(end, length) - offset, block_.size());
    if (cut_after_) count = std::min(count, *cut_after_ - offset);
    if (stall_at_ && !stalled_) count = std::min(count, *stall_at_ - offset);
    const std::size_t got = body_->Read(offset, block_.data(), static_cast<std::size_t>(count));
    if (got == 0) return Abort("cannot read the body file");
    if (!sink.write(block_.data(), got)) return Abort("connection lost");
    sent_ += got;
    if (!open_ended_ && offset + got == length) finished_ = true;
    return true;
  }

  void Finish() {
    ReplyEnd end;
    end.id = context_.id;
    end.sent = sent_;
    end.length = body_->length();
    end.complete = finished_ || context_.head_only;
    if (!end.complete) end.reason = reason_.empty() ? "connection closed" : reason_;
    context_.log->End(end);
  }

 private:
  bool Abort(const char* reason) {
    reason_ = reason;
    return false;
  }

  std::shared_ptr<BodySource> body_;
  std::optional<std::uint64_t> cut_after_;
  std::optional<std::uint64_t> stall_at_;
  double stall_seconds_;
  SendContext context_;
  bool open_ended_;
  std::vector<char> block_;
  bool stalled_ = false;
  bool finished_ = false;
  std::uint64_t sent_ = 0;
  std::string reason_;
};

}  // namespace

std::shared_ptr<BodySource> BodySource::Open(const Reply& reply, const std::string& prefix,
                                             std::string& error) {
  std::shared_ptr<BodySource> body(new BodySource);
  body->prefix_ = prefix;
  if (reply.file.empty()) {
    body->text_ = reply.body;
    return body;
  }
  body->fd_ = ::open(reply.file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (body->fd_ < 0 || ::fstat(body->fd_, &info) != 0) {
    error = "cannot open " + reply.file + ": " + std::strerror(errno);
    return nullptr;
  }
  body->file_size_ = static_cast<std::uint64_t>(info.st_size);
  return body;
}

BodySource::~BodySource() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t BodySource::Read(std::uint64_t offset, char* out, std::size_t size) const {
  std::size_t done = 0;
  while (done < size && offset < prefix_.size()) {
    out[done++] = prefix_[static_cast<std::size_t>(offset++)];
  }
  if (done == size) return done;
  const std::uint64_t at = offset - prefix_.size();
  if (fd_ < 0) {
    if (at >= text_.size()) return done;
    const std::size_t count = std::min<std::size_t>(size - done, text_.size() - at);
    std::memcpy(out + done, text_.data() + at, count);
    return done + count;
  }
  ssize_t got;
  do {
    got = ::pread(fd_, out + done, size - done, static_cast<off_t>(at));
  } while (got < 0 && errno == EINTR);
  return got > 0 ? done + static_cast<std::size_t>(got) : done;
}

const char* FramingName(const FaultSet& faults) {
  switch (faults.framing) {
    case Framing::Length:
      return "length";
    case Framing::Chunked:
      return "chunked";
    case Framing::CloseDelimited:
      return "close";
  }
  return "";
}

void SendReply(const Reply& reply, std::shared_ptr<BodySource> body, const FaultSet& faults,
               const SendContext& context, httplib::Response& res) {
  res.status = reply.status;
  if (!reply.location.empty()) res.set_header("Location", reply.location);

  if (faults.framing == Framing::Length && body->length() == 0) {
    // httplib takes a provider of length 0 for one without a length.
    res.set_content(std::string(), reply.content_type);
    context.log->End(ReplyEnd{context.id, 0, 0, true, std::string()});
    return;
  }

  const bool open_ended = faults.framing != Framing::Length;
  auto transfer = std::make_shared<Transfer>(body, faults, context, open_ended);
  auto release = [transfer](bool) { transfer->Finish(); };
  if (!open_ended) {
    res.set_content_provider(
        static_cast<std::size_t>(body->length()), reply.content_type,
        [transfer](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          return transfer->Pump(offset, offset + length, sink);
        },
        release);
    return;
  }
  auto provider = [transfer](std::size_t offset, httplib::DataSink& sink) {
    return transfer->Pump(offset, UINT64_MAX, sink);
  };
  if (faults.framing == Framing::Chunked) {
    res.set_chunked_content_provider(reply.content_type, provider, release);
  } else {
    // Without a length the end of the connection is the end of the body.
    res.set_header("Connection", "close");
    res.set_content_provider(reply.content_type, provider, release);
  }
}

}  // namespace update_service
