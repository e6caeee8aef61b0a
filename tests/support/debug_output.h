#pragma once
// Collects what this process writes to the debugger output channel while the
// object lives: OutputDebugString raises an exception that a vectored handler
// sees before any debugger would.
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

class DebugOutputCapture {
 public:
  DebugOutputCapture();
  ~DebugOutputCapture();
  DebugOutputCapture(const DebugOutputCapture&) = delete;
  DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

  std::vector<std::wstring> lines() const;

 private:
  void* handler_ = nullptr;
};

}  // namespace testing_support
