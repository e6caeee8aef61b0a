#pragma once
#include <cstdint>
#include <string>

// The three packages the update service is asked about; the value is the
// `type` parameter of the query.
enum class PackageKind : int32_t {
  Installer = 1,
  Application = 2,
  Framework = 3,
};

// What the update service offered for one package, and how the offer relates
// to the machine.
struct UpdateInfo {
  std::wstring downloadUrl;
  std::wstring hash;      // SHA-1 of the file as hex text, any letter case
  std::wstring version;
  int32_t isCurrent = 0;  // 1: the offer is not newer than what is present
  int32_t needed = 0;     // framework only: 1 when the framework is missing
  uint32_t size = 0;      // exact size of the file in bytes
  std::wstring releaseNotes;
};

// The one condition under which a package is downloaded or installed.
bool usable(const UpdateInfo& record);
