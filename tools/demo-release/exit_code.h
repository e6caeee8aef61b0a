#pragma once

// What `body` returns, or `failureCode` when it throws: no exception may leave WinMain.
template <typename Body>
int ExitCodeOf(Body&& body, int failureCode) noexcept {
  try {
    return body();
  } catch (...) {
    return failureCode;
  }
}
