#include "query_reply.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cctype>

#include "faults.h"

namespace update_service {

void ApplyQueryFaults(const FaultSet& faults, QueryReply& reply) {
  switch (faults.size_fault) {
    case SizeFault::None:
      break;
    case SizeFault::Add:
      reply.size += faults.size_value;
      break;
    case SizeFault::Set:
      reply.size = faults.size_value;
      break;
  }
  switch (faults.hash_fault) {
    case HashFault::None:
      break;
    case HashFault::Replace:
      reply.hash = faults.hash_value;
      break;
    case HashFault::Upper:
      for (char& c : reply.hash) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      break;
    case HashFault::Wrong:
      // Still forty hex digits, so only the comparison can catch it.
      if (!reply.hash.empty()) reply.hash.back() = reply.hash.back() == '0' ? '1' : '0';
      break;
  }
  if (faults.url) reply.download_url = *faults.url;
}

std::string ToJson(const QueryReply& reply) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  auto string = [&writer](const std::string& text) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
  };
  writer.StartObject();
  writer.Key("result");
  writer.StartObject();
  writer.Key("download_url");
  string(reply.download_url);
  writer.Key("version");
  string(reply.version);
  writer.Key("size");
  writer.Int64(reply.size);
  writer.Key("hash");
  string(reply.hash);
  writer.Key("release_notes");
  string(reply.release_notes);
  writer.EndObject();
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

std::string PercentEncode(const std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (alnum || c == '-' || c == '.' || c == '_' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kDigits[c >> 4]);
      out.push_back(kDigits[c & 0x0F]);
    }
  }
  return out;
}

}  // namespace update_service
