#include "release.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <sstream>

namespace update_service {
namespace {

constexpr PackageKind kAllKinds[kKindCount] = {PackageKind::Installer, PackageKind::Application,
                                              PackageKind::Framework};

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ReadString(const rapidjson::Value& object, const char* member, bool required,
                std::string& out, const std::string& where, std::string& error) {
  auto it = object.FindMember(member);
  if (it == object.MemberEnd()) {
    if (!required) return true;
    error = where + ": member \"" + member + "\" is missing";
    return false;
  }
  if (!it->value.IsString()) {
    error = where + ": member \"" + member + "\" must be a string";
    return false;
  }
  out.assign(it->value.GetString(), it->value.GetStringLength());
  return true;
}

bool ParsePackage(const rapidjson::Value& value, const std::string& dir, const std::string& where,
                  Package& package, std::string& error) {
  if (!value.IsObject()) {
    error = where + ": must be an object with \"file\" and \"version\"";
    return false;
  }
  std::set<std::string> seen;
  for (auto it = value.MemberBegin(); it != value.MemberEnd(); ++it) {
    const std::string name = it->name.GetString();
    if (name != "file" && name != "version" && name != "notes") {
      error = where + ": unknown member \"" + name + "\" (expected file, version, notes)";
      return false;
    }
    if (!seen.insert(name).second) {
      error = where + ": \"" + name + "\" is given twice";
      return false;
    }
  }
  if (!ReadString(value, "file", true, package.file, where, error) ||
      !ReadString(value, "version", true, package.version, where, error) ||
      !ReadString(value, "notes", false, package.notes, where, error)) {
    return false;
  }
  if (!IsPlainFileName(package.file)) {
    error = where + ": \"" + package.file + "\" is not a plain file name inside the release folder";
    return false;
  }
  package.path = dir + "/" + package.file;
  if (!IsRegularFile(package.path)) {
    error = where + ": file \"" + package.file + "\" not found in " + dir;
    return false;
  }
  return true;
}

}  // namespace

const char* KindMemberName(PackageKind kind) {
  switch (kind) {
    case PackageKind::Installer:
      return "installer";
    case PackageKind::Application:
      return "application";
    case PackageKind::Framework:
      return "framework";
  }
  return "";
}

const Package* Release::Find(PackageKind kind) const {
  const auto& slot = packages[static_cast<int>(kind) - 1];
  return slot ? &*slot : nullptr;
}

const Package* Release::FindFile(const std::string& file) const {
  for (const auto& slot : packages) {
    if (slot && slot->file == file) return &*slot;
  }
  return nullptr;
}

bool ParseRelease(const std::string& dir, const std::string& json, Release& release,
                  std::string& error) {
  release = Release{};
  release.dir = dir;

  // Release notes travel to the installer unchanged, so refuse what is not UTF-8 here.
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseValidateEncodingFlag>(json.data(), json.size());
  if (doc.HasParseError()) {
    error = std::string("release.json: ") + rapidjson::GetParseError_En(doc.GetParseError()) +
            " (at byte " + std::to_string(doc.GetErrorOffset()) + ")";
    return false;
  }
  if (!doc.IsObject()) {
    error = "release.json: the top level must be an object";
    return false;
  }

  for (auto it = doc.MemberBegin(); it != doc.MemberEnd(); ++it) {
    const std::string name = it->name.GetString();
    bool known = false;
    for (PackageKind kind : kAllKinds) {
      if (name != KindMemberName(kind)) continue;
      known = true;
      auto& slot = release.packages[static_cast<int>(kind) - 1];
      if (slot) {
        error = "release.json: \"" + name + "\" is given twice";
        return false;
      }
      Package package;
      if (!ParsePackage(it->value, dir, "release.json: " + name, package, error)) return false;
      slot = std::move(package);
    }
    // A misspelt kind would otherwise silently turn into a 404 for that kind.
    if (!known) {
      error = "release.json: unknown member \"" + name +
              "\" (expected installer, application, framework)";
      return false;
    }
  }
  return true;
}

bool LoadRelease(const std::string& dir, Release& release, std::string& error) {
  const std::string manifest = dir + "/release.json";
  std::ifstream in(manifest, std::ios::binary);
  if (!in) {
    error = "cannot read " + manifest;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseRelease(dir, text.str(), release, error);
}

}  // namespace update_service
