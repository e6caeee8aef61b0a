#include "tests/support/update_service.h"

#include <winsock2.h>
#include <windows.h>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

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

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

int serviceCount = 0;

// Whether something listens on 127.0.0.1:port.
bool PortAccepts(u_short port) {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool accepted = probe != INVALID_SOCKET &&
      connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  if (probe != INVALID_SOCKET) closesocket(probe);
  WSACleanup();
  return accepted;
}

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
  // A real JSON writer: release notes may hold quotes, backslashes and control
  // characters, which the service must read back as they were.
  rapidjson::StringBuffer manifest;
  rapidjson::Writer<rapidjson::StringBuffer> writer(manifest);
  auto text = [&writer](const std::string& value) {
    writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
  };
  writer.StartObject();
  for (const ReleaseFile& file : files) {
    WriteFileBytes(folder + L"\\" + file.file, file.bytes);
    text(file.kind);
    writer.StartObject();
    writer.Key("file");
    text(Utf8(file.file));
    writer.Key("version");
    text(file.version);
    writer.Key("notes");
    text(file.notes);
    writer.EndObject();
  }
  writer.EndObject();
  WriteFileBytes(folder + L"\\release.json", std::string(manifest.GetString(), manifest.GetSize()));
}

UpdateService::UpdateService(const std::wstring& releaseFolder,
                             const std::vector<std::wstring>& options) {
  const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serviceCount);
  const std::wstring folder = MakeScratchFolder(L"service-" + tag);
  outputPath_ = folder + L"\\output.txt";
  logPath_ = folder + L"\\requests.log";

  // The service is a Linux program: Wine starts it but hands back no process to
  // wait for, so its first line (the port) is read from the file it writes to.
  // The destructor ends it through its stop file; --exit-after bounds it anyway.
  // Its arguments reach it as they are, so its paths are given as Linux paths.
  std::wstring commandLine = Quoted(WindowsPathOf(CORVANTA_UPDATE_SERVICE)) + L" --release " +
                             Quoted(Wide(UnixPathOf(releaseFolder))) + L" --port 0";
  commandLine += L" --log " + Quoted(Wide(UnixPathOf(logPath_))) + L" --exit-after 300";
  // Ends it when this object goes: the service watches for the stop file.
  stopPath_ = folder + L"\\stop";
  commandLine += L" --stop-file " + Quoted(Wide(UnixPathOf(stopPath_)));
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

UpdateService::~UpdateService() {
  if (baseUrl_.empty()) return;
  WriteFileBytes(stopPath_, "");
  // Gone once its port refuses connections; it checks for the file every 100 ms.
  const std::wstring port = baseUrl_.substr(baseUrl_.rfind(L':') + 1);
  for (int waited = 0; waited < 100 && PortAccepts(static_cast<u_short>(std::stoi(port))); ++waited) {
    Sleep(50);
  }
}

std::string UpdateService::RequestLog() const { return ReadFileBytes(logPath_); }

std::wstring RefusingUrl() { return L"http://127.0.0.1:9"; }

}  // namespace testing_support
