#pragma once
#include <windows.h>
#include <string>

namespace framework {

// The one application object of a program: start-up lives in InitInstance.
class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up; a false result ends the program without a message loop of its own.
  virtual bool InitInstance();

  // The command line after the program path, as the program received it.
  const std::wstring& ArgumentText() const { return argumentText_; }

  // Runs the application with the argument text WinMain received.
  int Run(const wchar_t* argumentText);

 protected:
  // Bit 1: ask the restart manager to start the program again after an update or a hang.
  DWORD restartManagerSupportFlags = 0;

 private:
  std::wstring argumentText_;
};

}  // namespace framework
