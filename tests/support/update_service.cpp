#include "tests/support/update_service.h"

#include <windows.h>

#include "app/user_folders.h"
#include "framework/unique_handle.h"
#include "tests/support/test_support.h"

namespace testing_support {

namespace {

std::string Utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(length > 0 ? length - 1 : 0, '\0');
  if (length > 1) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
  }
  return bytes;
}

std::string JsonString(const std::string& utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

int serviceCount = 0;

}  // namespace

std::string UnixPathOf(const std::wstring& windowsPath) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  // Wine's own export; through void* because its type is not FARPROC's.
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::string();
  char* unixPath = toUnix(windowsPath.c_str());
  if (unixPath == nullptr) return std::string();
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

void WriteRelease(const std::wstring& folder, const std::vector<ReleaseFile>& files) {
  MakePathExist(folder);
  std::string manifest = "{";
  for (const ReleaseFile& file : files) {
    WriteFileBytes(folder + L"\\" + file.file, file.bytes);
    if (manifest.size() > 1) manifest += ",";
    manifest += JsonString(file.kind) + ":{\"file\":" + JsonString(Utf8(file.file)) +
                ",\"version\":" + JsonString(file.version) +
                ",\"notes\":" + JsonString(file.notes) + "}";
  }
  WriteFileBytes(folder + L"\\release.json", manifest + "}");
}

UpdateService::UpdateService(const std::wstring& releaseFolder,
                             const std::vector<std::wstring>& options) {
  const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serviceCount);
  const std::wstring folder = MakeScratchFolder(L"service-" + tag);
  outputPath_ = folder + L"\\output.txt";
  logPath_ = folder + L"\\requests.log";

  // The service is a Linux program: Wine starts it but hands back no process to
  // wait for, so its first line (the port) is read from the file it writes to.
  // The test runner ends it with the test's prefix; --exit-after bounds it anyway.
  // Its arguments reach it as they are, so its paths are given as Linux paths.
  std::wstring commandLine = Quoted(WindowsPathOf(CORVANTA_UPDATE_SERVICE)) + L" --release " +
                             Quoted(Wide(UnixPathOf(releaseFolder))) + L" --port 0";
  commandLine += L" --log " + Quoted(Wide(UnixPathOf(logPath_))) + L" --exit-after 300";
  for (const std::wstring& option : options) commandLine += L" " + Quoted(option);

  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  framework::KernelHandle output(CreateFileW(outputPath_.c_str(), GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                             CREATE_ALWAYS, 0, nullptr));
  if (!StartWithOutputTo(commandLine, output.get())) return;
  output.reset();

  const std::string prefix = "listening on ";
  for (int waited = 0; waited < 200; ++waited) {
    const std::string text = ReadFileBytes(outputPath_);
    const size_t start = text.find(prefix);
    const size_t end = text.find('\n', start);
    if (start != std::string::npos && end != std::string::npos) {
      const std::string url = text.substr(start + prefix.size(), end - start - prefix.size());
      baseUrl_.assign(url.begin(), url.end());
      return;
    }
    Sleep(50);
  }
}

UpdateService::~UpdateService() = default;

std::string UpdateService::RequestLog() const { return ReadFileBytes(logPath_); }

std::wstring RefusingUrl() { return L"http://127.0.0.1:9"; }

}  // namespace testing_support
