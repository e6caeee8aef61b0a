#include "request_log.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace update_service {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  std::uint32_t code;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) return 0;
  return length;
}

// The log must stay valid JSON whatever a client sends, so bytes that are not
// UTF-8 are shown as the Latin-1 character of the same value.
std::string LogText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length > 0) {
      out.append(bytes, i, length);
      i += length;
    } else {
      const auto byte = static_cast<unsigned char>(bytes[i++]);
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[40];
  std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &local);
  char full[48];
  std::snprintf(full, sizeof(full), "%s.%03d", text, static_cast<int>(millis));
  return full;
}

class JsonLine {
 public:
  JsonLine() : writer_(buffer_) { writer_.StartObject(); }

  JsonLine& Text(const char* key, const std::string& value) {
    writer_.Key(key);
    String(value);
    return *this;
  }
  JsonLine& Number(const char* key, std::uint64_t value) {
    writer_.Key(key);
    writer_.Uint64(value);
    return *this;
  }
  JsonLine& Flag(const char* key, bool value) {
    writer_.Key(key);
    writer_.Bool(value);
    return *this;
  }
  JsonLine& Texts(const char* key, const std::vector<std::string>& values) {
    writer_.Key(key);
    writer_.StartArray();
    for (const auto& value : values) String(value);
    writer_.EndArray();
    return *this;
  }
  JsonLine& Pairs(const char* key, const std::vector<std::pair<std::string, std::string>>& pairs) {
    writer_.Key(key);
    writer_.StartArray();
    for (const auto& pair : pairs) {
      writer_.StartArray();
      String(pair.first);
      String(pair.second);
      writer_.EndArray();
    }
    writer_.EndArray();
    return *this;
  }
  std::string Finish() {
    writer_.EndObject();
    return std::string(buffer_.GetString(), buffer_.GetSize());
  }

 private:
  void String(const std::string& value) {
    const std::string text = LogText(value);
    writer_.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
  }

  rapidjson::StringBuffer buffer_;
  rapidjson::Writer<rapidjson::StringBuffer> writer_;
};

}  // namespace

void SplitHead(const std::string& head, std::string& request_line,
               std::vector<std::string>& header_lines) {
  request_line.clear();
  header_lines.clear();
  bool first = true;
  for (std::size_t start = 0; start < head.size();) {
    std::size_t end = head.find('\n', start);
    if (end == std::string::npos) end = head.size();
    std::string line = head.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (first) {
      request_line = line;
      first = false;
    } else if (line.empty()) {
      break;
    } else {
      header_lines.push_back(line);
    }
  }
}

std::pair<std::string, std::string> SplitHeaderLine(const std::string& line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return {line, std::string()};
  std::size_t begin = colon + 1;
  std::size_t end = line.size();
  while (begin < end && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
  while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return {line.substr(0, colon), line.substr(begin, end - begin)};
}

RequestLog::~RequestLog() {
  if (file_) std::fclose(file_);
}

bool RequestLog::OpenFile(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    error = "cannot create log file " + path + ": " + std::strerror(errno);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) std::fclose(file_);
  file_ = file;
  return true;
}

void RequestLog::Request(const RequestRecord& record) {
  std::string request_line;
  std::vector<std::string> header_lines;
  SplitHead(record.head, request_line, header_lines);
  std::vector<std::pair<std::string, std::string>> headers;
  for (const auto& line : header_lines) headers.push_back(SplitHeaderLine(line));

  std::string faults;
  for (const auto& fault : record.faults) faults += (faults.empty() ? "" : " ") + fault;
  const std::string outcome =
      record.status == 0 ? std::string("no reply") : std::to_string(record.status);
  std::fprintf(stderr, "update-service: #%llu %s %s %s -> %s%s%s%s\n",
               static_cast<unsigned long long>(record.id), record.method.c_str(),
               LogText(record.target).c_str(), record.version.c_str(), outcome.c_str(),
               faults.empty() ? "" : " [", faults.c_str(), faults.empty() ? "" : "]");

  JsonLine line;
  line.Text("event", "request")
      .Number("id", record.id)
      .Text("time", Timestamp())
      .Text("remote", record.remote)
      .Text("method", record.method)
      .Text("target", record.target)
      .Text("path", record.path)
      .Text("query", record.query)
      .Text("version", record.version)
      .Text("request_line", request_line)
      .Texts("header_lines", header_lines)
      .Pairs("headers", headers)
      .Text("route", record.route)
      .Texts("faults", record.faults)
      .Number("status", static_cast<std::uint64_t>(record.status))
      .Text("framing", record.framing)
      .Number("length", record.length);
  if (!record.location.empty()) line.Text("location", record.location);
  WriteLine(line.Finish());
}

void RequestLog::End(const ReplyEnd& end) {
  if (!end.complete) {
    std::fprintf(stderr, "update-service: #%llu sent %llu of %llu bytes: %s\n",
                 static_cast<unsigned long long>(end.id), static_cast<unsigned long long>(end.sent),
                 static_cast<unsigned long long>(end.length), end.reason.c_str());
  }
  JsonLine line;
  line.Text("event", "end")
      .Number("id", end.id)
      .Text("time", Timestamp())
      .Number("sent", end.sent)
      .Number("length", end.length)
      .Flag("complete", end.complete);
  if (!end.reason.empty()) line.Text("reason", end.reason);
  WriteLine(line.Finish());
}

void RequestLog::WriteLine(const std::string& json) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return;
  std::fwrite(json.data(), 1, json.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace update_service
