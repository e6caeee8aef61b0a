// The stand-in for the .NET Framework 4.5.2 offline installer. Started with the
// argument text "/q /norestart" (blanks around it do not matter) it appends its
// start record with the time to NDP452-stand-in.log in the all-users
// application data folder, registers 4.5.2 the way the real one does and ends
// with 0. Any other argument text: nothing is written, exit code 1. Built with
// CORVANTA_DEMO_BROKEN_FRAMEWORK it runs alike but registers nothing, as a
// broken framework installer would.
#include <windows.h>
#include <shlobj.h>

#include "framework/registry_value.h"
#include "framework/unique_handle.h"
#include "tools/demo-release/argument_text.h"
#include "tools/demo-release/exit_code.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/start_record.h"
#include "tools/demo-release/text_file.h"

namespace {

constexpr wchar_t kQuietArguments[] = L"/q /norestart";
constexpr wchar_t kLogFileName[] = L"NDP452-stand-in.log";
constexpr wchar_t kFrameworkKey[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";
constexpr DWORD kRelease452 = 379893;
constexpr wchar_t kVersion452[] = L"4.5.51209";

#ifdef CORVANTA_DEMO_BROKEN_FRAMEWORK
constexpr bool kRegisters = false;
#else
constexpr bool kRegisters = true;
#endif

enum ExitCode : int { kInstalled = 0, kWrongArguments = 1, kNotRegistered = 2 };

// The 32-bit view, where the 32-bit installer looks on 64-bit Windows, also
// for this stand-in's 64-bit test build.
bool RegisterFramework() {
  framework::RegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFrameworkKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return framework::SetDwordValue(key.get(), L"Release", kRelease452) &&
         framework::SetStringValue(key.get(), L"Version", kVersion452);
}

int Run() {
  if (TrimBlanks(OwnArgumentText()) != kQuietArguments) return kWrongArguments;
  AppendLine(JoinPath(ShellFolder(CSIDL_COMMON_APPDATA), kLogFileName), StartRecord(true));
  if (!kRegisters) return kInstalled;
  return RegisterFramework() ? kInstalled : kNotRegistered;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return ExitCodeOf(Run, kNotRegistered); }
