// The release folder: release.json and the package files it names.
#pragma once

#include <optional>
#include <string>

namespace update_service {

// Package kinds as the installer asks for them in "?type=N".
enum class PackageKind { Installer = 1, Application = 2, Framework = 3 };

constexpr int kKindCount = 3;

// Member of release.json that describes the kind ("installer", ...).
const char* KindMemberName(PackageKind kind);

struct Package {
  std::string file;     // plain file name inside the release folder
  std::string version;  // sent unchanged; installers compare it as text
  std::string notes;    // UTF-8, may be empty
  std::string path;     // release folder joined with file
};

struct Release {
  std::string dir;
  std::optional<Package> packages[kKindCount];

  const Package* Find(PackageKind kind) const;
  const Package* FindFile(const std::string& file) const;
};

// Reads DIR/release.json and checks that every named file exists in DIR.
// On failure returns false and describes the problem in error.
bool LoadRelease(const std::string& dir, Release& release, std::string& error);

// Same checks on manifest text already in memory.
bool ParseRelease(const std::string& dir, const std::string& json, Release& release,
                  std::string& error);

}  // namespace update_service
