// Corvanta.exe of the demo release: a small ordinary window that says what it
// is, its version and how it was started. Each start appends a line to
// started.log beside the program (see start_record.h). "/WinStart", the
// autostart case, is only recorded.
#include <windows.h>

#include "app/module_path.h"
#include "tools/demo-release/application_window.h"
#include "tools/demo-release/argument_text.h"
#include "tools/demo-release/exit_code.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/start_record.h"
#include "tools/demo-release/text_file.h"

namespace {

// The release script writes the package's version into version.txt, so one
// build can stand for several application versions.
std::wstring ApplicationVersion() {
  const std::wstring written =
      TrimBlanks(ReadTextFile(JoinPath(GetModulePathParts().folder, L"version.txt")));
  const size_t lineEnd = written.find_first_of(L"\r\n");
  const std::wstring version = TrimBlanks(written.substr(0, lineEnd));
  return version.empty() ? CORVANTA_DEMO_APPLICATION_VERSION : version;
}

int Run(HINSTANCE instance, int show) {
  RecordStartBesideProgram(false);
  const std::wstring arguments = OwnArgumentText();
  const std::wstring text = L"Corvanta demo application\nVersion " + ApplicationVersion() +
                            L"\n\nStarted with: " +
                            (arguments.empty() ? L"(no arguments)" : arguments);
  return RunApplicationWindow(instance, show, text);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  return ExitCodeOf([&] { return Run(instance, show); }, 1);
}
