#pragma once
// What the tests share: paths of the built programs, scratch folders in the
// throwaway prefix, child processes, files and the install log.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"

namespace testing_support {

// The Windows path under which Wine shows a path of this Linux machine.
std::wstring WindowsPathOf(const std::string& unixPath);

std::wstring SetupExePath();   // the installer under test
std::wstring HelperExePath();  // tests/helpers/test_helper.exe
std::wstring FontSourcePath(); // the font file the build embedded

// A new, empty folder C:\scratch\<name> in this test's prefix.
std::wstring MakeScratchFolder(const std::wstring& name);

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// A started program; ended by force if still running when the owner goes.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ~ChildProcess();

  // Starts `program` with the argument text `arguments` (the program path is
  // put in front, quoted).
  static ChildProcess Start(const std::wstring& program, const std::wstring& arguments,
                            const std::wstring& folder = std::wstring());
  bool started() const { return process_.valid(); }
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  // True when the process has ended within `milliseconds`.
  bool WaitForExit(DWORD milliseconds);
  DWORD ExitCode() const;

 private:
  void End();  // by force, if it still runs

  framework::KernelHandle process_;
  DWORD id_ = 0;
};

// Starts `commandLine` with its standard output and error on `output` (an
// inheritable handle); false when it did not start. A Linux program started
// this way under Wine gives no process handle back.
bool StartWithOutputTo(const std::wstring& commandLine, HANDLE output, DWORD creationFlags = 0,
                       framework::KernelHandle* process = nullptr);

// Runs a program to its end and returns what it wrote to standard output.
std::string RunAndCapture(const std::wstring& commandLine, DWORD* exitCode = nullptr);

// A named event another process can wait for or set.
framework::KernelHandle MakeEvent(const std::wstring& name);

// The install log of this prefix's account, split at CR LF; the last line end
// is the end of the file.
std::wstring LogPath();
std::vector<std::string> LogLines();
// The lines without their time stamps.
std::vector<std::string> LogMessages();
// The position of `message` among LogMessages() at or after `from`, or -1.
int FindLogMessage(const std::vector<std::string>& messages, const std::string& message,
                   size_t from = 0);

// The installer's visible top-level window, polled for up to `milliseconds`.
HWND WaitForInstallerWindow(DWORD processId, DWORD milliseconds);
HWND WaitForWindowTitled(const std::wstring& title, DWORD milliseconds);
int CountTopLevelWindowsOf(DWORD processId);

// A registry value as stored, read in the installer's registry view.
struct RegistryValue {
  bool found = false;
  DWORD type = REG_NONE;
  std::string bytes;
  std::wstring text() const;  // REG_SZ data up to its first null
};
RegistryValue ReadRegistryValue(HKEY root, const std::wstring& subKey, const std::wstring& name);

// Narrow text of a wide one, each character up to U+00FF as that byte.
std::string Narrow(const std::wstring& text);

}  // namespace testing_support
