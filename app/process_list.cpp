#include "app/process_list.h"

#include "framework/unique_handle.h"

bool FindProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit) {
  framework::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (visit(entry)) return true;
  }
  return false;
}
