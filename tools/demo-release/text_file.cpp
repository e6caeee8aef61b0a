#include "tools/demo-release/text_file.h"

#include <windows.h>

#include "framework/unique_handle.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Anything the demo programs read is a line or two.
constexpr DWORD kLongestReadFile = 64 * 1024;

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(size > 0 ? size : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace

bool AppendLine(const std::wstring& path, const std::wstring& line) {
  // With FILE_APPEND_DATA as the only right every write lands at the current
  // end, so two programs logging at once cannot overwrite each other's lines.
  framework::KernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const std::string bytes = ToUtf8(line) + "\n";
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool EmptyFile(const std::wstring& path) {
  framework::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

std::wstring ReadTextFile(const std::wstring& path) {
  framework::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::wstring();
  std::string bytes(kLongestReadFile, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), kLongestReadFile, &read, nullptr)) return std::wstring();
  bytes.resize(read);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return FromUtf8(bytes);
}
