#pragma once
// The local update service (a native Linux program) run for one test: the test
// writes a release folder, starts the service on it with the faults it wants,
// and reads the requests the service saw.
#include <string>
#include <vector>

namespace testing_support {

struct ReleaseFile {
  std::string kind;     // "installer", "application" or "framework"
  std::wstring file;    // name inside the release folder
  std::string version;
  std::string bytes;    // the file's content
  std::string notes;    // release notes, UTF-8
};

// Writes the files and release.json into `folder` (created afresh).
void WriteRelease(const std::wstring& folder, const std::vector<ReleaseFile>& files);

// Ends its service process when it goes out of scope.
class UpdateService {
 public:
  // Starts the service on `releaseFolder` with further options such as
  // {"--fault", "type2:status=500"}; baseUrl() is empty when it did not start.
  UpdateService(const std::wstring& releaseFolder, const std::vector<std::wstring>& options = {});
  ~UpdateService();
  UpdateService(const UpdateService&) = delete;
  UpdateService& operator=(const UpdateService&) = delete;

  const std::wstring& baseUrl() const { return baseUrl_; }
  std::wstring FileUrl(const std::wstring& name) const { return baseUrl_ + L"/files/" + name; }
  // What the service recorded of the requests it answered.
  std::string RequestLog() const;

 private:
  std::wstring baseUrl_;
  std::wstring outputPath_;
  std::wstring logPath_;
  std::wstring stopPath_;
};

// The path under which this Linux machine sees a Windows path of the prefix.
std::string UnixPathOf(const std::wstring& windowsPath);

// A URL on loopback where nothing listens.
std::wstring RefusingUrl();

}  // namespace testing_support
