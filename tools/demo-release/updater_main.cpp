// Corvanta.Updater.exe of the demo release: appends its start record with the
// local time to started.log beside the program (see start_record.h) and ends
// at once with exit code 0. It shows no window.
#include <windows.h>

#include "tools/demo-release/exit_code.h"
#include "tools/demo-release/start_record.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // It ends with 0 even when the record cannot be written.
  return ExitCodeOf(
      [] {
        RecordStartBesideProgram(true);
        return 0;
      },
      0);
}
