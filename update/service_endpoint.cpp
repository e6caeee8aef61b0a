#include "update/service_endpoint.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <rapidjson/document.h>

#include "framework/unique_handle.h"
#include "update/service_override.h"

std::wstring ServerOverrideFrom(const std::string& fileStart) {
  rapidjson::Document document;
  // The text ends at its first zero byte, as a C string would.
  document.Parse(fileStart.c_str());
  if (document.HasParseError() || !document.IsObject()) return std::wstring();
  const auto member = document.FindMember("ApplicationUpdate");
  if (member == document.MemberEnd() || !member->value.IsString()) return std::wstring();
  // Read through the ANSI code page: that is how override files have always been read.
  const char* text = member->value.GetString();
  const int size = static_cast<int>(member->value.GetStringLength());
  if (size == 0) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
  std::wstring result(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text, size, result.data(), length);
  return result;
}

std::string ReadServerOverrideFile(const std::wstring& path) {
  framework::KernelHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::string();
  std::string bytes(kServerOverrideMaxBytes, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), kServerOverrideMaxBytes, &read, nullptr)) read = 0;
  bytes.resize(read);
  return bytes;
}

std::wstring GetServerBaseUrl() {
  std::wstring result = kBuiltInServiceBaseUrl;
  PWSTR downloads = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &downloads)) && downloads) {
    const std::wstring path = std::wstring(downloads) + L"\\TestServer.txt";
    const std::wstring override = ServerOverrideFrom(ReadServerOverrideFile(path));
    if (!override.empty()) result = override;
  }
  CoTaskMemFree(downloads);
  return result;
}
