#include "update/update_info.h"

bool usable(const UpdateInfo& record) {
  return record.isCurrent == 0 && !record.downloadUrl.empty() && !record.hash.empty() &&
         !record.version.empty() && record.size != 0;
}
