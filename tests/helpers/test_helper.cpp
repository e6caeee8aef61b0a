// A stand-in program for the tests: copied under whatever name a test needs
// (SETUP.EXE, Corvanta.exe, ...) and told by its arguments how to behave.
//   sleep MS                 sleep, then exit 0
//   exit CODE                exit with CODE at once
//   touch-after MS PATH      sleep, create PATH, exit 1
//   wait-event NAME          run until the named event is set, exit 0
//   hold-file PATH NAME      open PATH exclusively, set event NAME.held,
//                            keep it until event NAME.release is set
#include <windows.h>

#include <cwchar>
#include <string>

#include "framework/unique_handle.h"

namespace {

using framework::KernelHandle;

KernelHandle OpenOrCreateEvent(const std::wstring& name) {
  return KernelHandle(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"sleep" && argc >= 3) {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    return 0;
  }
  if (command == L"exit" && argc >= 3) return _wtoi(argv[2]);
  if (command == L"touch-after" && argc >= 4) {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    KernelHandle file(CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return 1;
  }
  if (command == L"wait-event" && argc >= 3) {
    WaitForSingleObject(OpenOrCreateEvent(argv[2]).get(), INFINITE);
    return 0;
  }
  if (command == L"hold-file" && argc >= 4) {
    KernelHandle file(CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, 0, nullptr));
    if (!file) return 3;
    const std::wstring name = argv[3];
    KernelHandle release = OpenOrCreateEvent(name + L".release");
    SetEvent(OpenOrCreateEvent(name + L".held").get());
    WaitForSingleObject(release.get(), INFINITE);
    return 0;
  }
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) { return Run(argc, argv); }
