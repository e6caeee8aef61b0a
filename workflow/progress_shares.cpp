#include "workflow/progress_shares.h"

ProgressShares ComputeProgressShares(uint32_t frameworkSize, uint64_t totalBytes) {
  ProgressShares shares;
  if (totalBytes == 0) return shares;
  double share = static_cast<double>(frameworkSize) * 100.0 / static_cast<double>(totalBytes);
  if (share > 100.0) share = 100.0;
  shares.framework = static_cast<int32_t>(share);
  shares.application = 100 - shares.framework;
  return shares;
}
