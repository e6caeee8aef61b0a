#include "update/update_reply.h"

#include <rapidjson/document.h>

#include "update/http_transfer.h"

namespace {

using Document = rapidjson::GenericDocument<rapidjson::UTF16<wchar_t>>;
using Value = Document::ValueType;

std::wstring StringMember(const Value& object, const wchar_t* name) {
  const auto member = object.FindMember(name);
  if (member == object.MemberEnd() || !member->value.IsString()) return std::wstring();
  return std::wstring(member->value.GetString(), member->value.GetStringLength());
}

uint32_t SizeMember(const Value& object, const wchar_t* name) {
  const auto member = object.FindMember(name);
  if (member == object.MemberEnd()) return 0;
  const Value& value = member->value;
  // Only integers count; the low 32 bits are kept.
  if (value.IsUint64()) return static_cast<uint32_t>(value.GetUint64());
  if (value.IsInt64()) return static_cast<uint32_t>(static_cast<uint64_t>(value.GetInt64()));
  return 0;
}

}  // namespace

UpdateInfo UpdateInfoFromReply(const std::wstring& reply) {
  UpdateInfo record;
  Document document;
  document.Parse(reply.c_str());
  if (document.HasParseError() || !document.IsObject()) return record;
  const auto result = document.FindMember(L"result");
  if (result == document.MemberEnd() || !result->value.IsObject()) return record;
  const Value& offer = result->value;
  record.downloadUrl = StringMember(offer, L"download_url");
  record.version = StringMember(offer, L"version");
  record.size = SizeMember(offer, L"size");
  record.hash = StringMember(offer, L"hash");
  record.releaseNotes = StringMember(offer, L"release_notes");
  return record;
}

UpdateInfo ParseUpdateReply(const std::wstring& url) {
  return UpdateInfoFromReply(GetUrlContent(url));
}
