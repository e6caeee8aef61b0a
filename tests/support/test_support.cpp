#include "tests/support/test_support.h"

#include <shlobj.h>

#include <utility>

#include "app/install_log.h"
#include "app/registry_view.h"
#include "app/user_folders.h"

namespace testing_support {

std::wstring WindowsPathOf(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

std::wstring SetupExePath() { return WindowsPathOf(CORVANTA_SETUP_EXE); }
std::wstring HelperExePath() { return WindowsPathOf(CORVANTA_TEST_HELPER_EXE); }
std::wstring FontSourcePath() { return WindowsPathOf(CORVANTA_FONT_SOURCE); }

std::wstring MakeScratchFolder(const std::wstring& name) {
  const std::wstring folder = L"C:\\scratch\\" + name;
  MakePathExist(folder);
  return folder;
}

std::string ReadFileBytes(const std::wstring& path) {
  framework::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  framework::KernelHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
         written == bytes.size();
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ChildProcess::~ChildProcess() { End(); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    End();
    process_ = std::move(other.process_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void ChildProcess::End() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

ChildProcess ChildProcess::Start(const std::wstring& program, const std::wstring& arguments,
                                 const std::wstring& folder) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ChildProcess child;
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    child.process_.reset(info.hProcess);
    child.id_ = info.dwProcessId;
  }
  return child;
}

bool ChildProcess::WaitForExit(DWORD milliseconds) {
  return process_ && WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool StartWithOutputTo(const std::wstring& commandLine, HANDLE output, DWORD creationFlags,
                       framework::KernelHandle* process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                      nullptr, &startup, &info)) {
    return false;
  }
  framework::KernelHandle thread(info.hThread);
  framework::KernelHandle started(info.hProcess);
  if (process) *process = std::move(started);
  return true;
}

std::string RunAndCapture(const std::wstring& commandLine, DWORD* exitCode) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  framework::KernelHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.receive(), writeEnd.receive(), &inherit, 0)) return std::string();
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  framework::KernelHandle process;
  if (!StartWithOutputTo(commandLine, writeEnd.get(), CREATE_NO_WINDOW, &process)) {
    return std::string();
  }
  writeEnd.reset();
  std::string output;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    output.append(buffer, read);
  }
  WaitForSingleObject(process.get(), INFINITE);
  if (exitCode) GetExitCodeProcess(process.get(), exitCode);
  return output;
}

framework::KernelHandle MakeEvent(const std::wstring& name) {
  return framework::KernelHandle(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

std::wstring LogPath() { return InstallLogPath(); }

std::vector<std::string> LogLines() {
  const std::string bytes = ReadFileBytes(LogPath());
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));  // an unterminated tail
  return lines;
}

std::vector<std::string> LogMessages() {
  std::vector<std::string> messages;
  for (const std::string& line : LogLines()) {
    const size_t separator = line.find(" - ");
    messages.push_back(separator == std::string::npos ? line : line.substr(separator + 3));
  }
  return messages;
}

int FindLogMessage(const std::vector<std::string>& messages, const std::string& message,
                   size_t from) {
  for (size_t i = from; i < messages.size(); ++i) {
    if (messages[i] == message) return static_cast<int>(i);
  }
  return -1;
}

namespace {
struct WindowSearch {
  DWORD processId;
  std::wstring title;
  HWND found;
  int count;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  if (!IsWindowVisible(window)) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && owner != search->processId) return TRUE;
  if (!search->title.empty()) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (search->title != text) return TRUE;
  }
  ++search->count;
  if (!search->found) search->found = window;
  return TRUE;
}

WindowSearch Search(DWORD processId, const std::wstring& title) {
  WindowSearch search{processId, title, nullptr, 0};
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
  return search;
}

HWND Poll(DWORD processId, const std::wstring& title, DWORD milliseconds) {
  for (DWORD waited = 0;; waited += 50) {
    if (HWND window = Search(processId, title).found) return window;
    if (waited >= milliseconds) return nullptr;
    Sleep(50);
  }
}
}  // namespace

HWND WaitForInstallerWindow(DWORD processId, DWORD milliseconds) {
  return Poll(processId, std::wstring(), milliseconds);
}

HWND WaitForWindowTitled(const std::wstring& title, DWORD milliseconds) {
  return Poll(0, title, milliseconds);
}

int CountTopLevelWindowsOf(DWORD processId) { return Search(processId, std::wstring()).count; }

std::wstring RegistryValue::text() const {
  std::wstring value(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  return value.substr(0, value.find(L'\0'));
}

RegistryValue ReadRegistryValue(HKEY root, const std::wstring& subKey, const std::wstring& name) {
  RegistryValue value;
  framework::RegistryKey key;
  if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | kInstallerRegistryView,
                    key.receive()) != ERROR_SUCCESS) {
    return value;
  }
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return value;
  }
  value.bytes.resize(size);
  value.found = RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type,
                                 reinterpret_cast<BYTE*>(value.bytes.data()), &size) ==
                ERROR_SUCCESS;
  value.bytes.resize(size);
  return value;
}

std::string Narrow(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) bytes += c <= 0xFF ? static_cast<char>(c) : '?';
  return bytes;
}

}  // namespace testing_support
