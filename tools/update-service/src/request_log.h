// Record of every request, so that tests can check what a client sent and how
// much of each reply it got. A one-line summary goes to stderr; with a log
// file, each request also gives two JSON lines there (see README.md).
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace update_service {

struct RequestRecord {
  std::uint64_t id = 0;
  std::string remote;  // "ip:port"
  std::string method;
  std::string target;  // as sent, query included
  std::string path;    // percent-decoded
  std::string query;   // as sent, without "?"
  std::string version;
  std::string head;    // request line and header lines, exactly as received
  std::string route;   // "type1", "file:NAME", ... or "none"
  std::vector<std::string> faults;
  int status = 0;       // 0 when the connection is dropped without a reply
  std::string framing;  // "length", "chunked", "close" or "none"
  std::uint64_t length = 0;
  std::string location;
};

struct ReplyEnd {
  std::uint64_t id = 0;
  std::uint64_t sent = 0;   // body bytes handed to the connection
  std::uint64_t length = 0;
  bool complete = false;
  std::string reason;  // why it is incomplete
};

// Splits a request head into its request line and header lines.
void SplitHead(const std::string& head, std::string& request_line,
               std::vector<std::string>& header_lines);

// Header name and value of one header line, the value without surrounding blanks.
std::pair<std::string, std::string> SplitHeaderLine(const std::string& line);

class RequestLog {
 public:
  RequestLog() = default;
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;
  ~RequestLog();

  // Truncates the file; false with error when it cannot be created.
  bool OpenFile(const std::string& path, std::string& error);

  void Request(const RequestRecord& record);
  void End(const ReplyEnd& end);

 private:
  void WriteLine(const std::string& json);

  std::mutex mutex_;
  std::FILE* file_ = nullptr;
};

}  // namespace update_service
