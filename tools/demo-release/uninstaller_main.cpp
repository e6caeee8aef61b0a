// uninstaller.exe of the demo release: removes what the installer registered
// and the install folder. Arguments:
//   (none)                      asks first, then uninstalls
//   /quiet or /S                uninstalls without asking
//   /remove "<folder>" <pid>    the removal copy's step (see removal_copy.h)
// Exit codes are UninstallExitCode (uninstall_steps.h); uninstall_log.h tells
// what the log in the temp folder holds.
#include <windows.h>

#include "tools/demo-release/argument_text.h"
#include "tools/demo-release/exit_code.h"
#include "tools/demo-release/uninstall_steps.h"

namespace {

int Run() {
  const std::vector<std::wstring> arguments = OwnArguments();
  if (arguments.size() >= 2 && SameTextIgnoringCase(arguments[1], L"/remove")) {
    return RunRemoval(arguments.size() >= 3 ? arguments[2] : std::wstring(),
                      arguments.size() >= 4 ? arguments[3] : std::wstring());
  }
  bool quiet = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    quiet = quiet || SameTextIgnoringCase(arguments[i], L"/quiet") ||
            SameTextIgnoringCase(arguments[i], L"/S");
  }
  return RunUninstall(quiet);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return ExitCodeOf(Run, kSomethingLeft); }
