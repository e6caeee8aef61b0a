#include "tests/support/debug_output.h"

#include <windows.h>

namespace testing_support {

namespace {

constexpr DWORD kPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kPrintExceptionWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

std::mutex capturedMutex;
std::vector<std::wstring> captured;

LONG CALLBACK OnException(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const auto length = static_cast<size_t>(record->ExceptionInformation[0]);
  const auto text = record->ExceptionInformation[1];
  std::wstring line;
  if (record->ExceptionCode == kPrintExceptionWide) {
    line.assign(reinterpret_cast<const wchar_t*>(text), length ? length - 1 : 0);
  } else if (record->ExceptionCode == kPrintException) {
    const char* bytes = reinterpret_cast<const char*>(text);
    for (size_t i = 0; i + 1 < length; ++i) line += static_cast<unsigned char>(bytes[i]);
  } else {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  std::lock_guard<std::mutex> lock(capturedMutex);
  // A wide text is raised once more as a narrow one when nobody took the first.
  if (record->ExceptionCode == kPrintException && !captured.empty() && captured.back() == line) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  captured.push_back(line);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
  std::lock_guard<std::mutex> lock(capturedMutex);
  captured.clear();
  handler_ = AddVectoredExceptionHandler(1, OnException);
}

DebugOutputCapture::~DebugOutputCapture() { RemoveVectoredExceptionHandler(handler_); }

std::vector<std::wstring> DebugOutputCapture::lines() const {
  std::lock_guard<std::mutex> lock(capturedMutex);
  return captured;
}

}  // namespace testing_support
