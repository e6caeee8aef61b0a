#pragma once
#include <cstdint>

// How the one progress bar is split between the two downloads, in percent.
struct ProgressShares {
  int32_t framework = 0;
  int32_t application = 100;
};

// The framework's share is its record's size x 100 / the bytes to download,
// truncated; the application gets the rest. Nothing to download gives the
// whole bar to the application, and a share never leaves 0..100.
ProgressShares ComputeProgressShares(uint32_t frameworkSize, uint64_t totalBytes);
