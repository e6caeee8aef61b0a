#include <gtest/gtest.h>

#include "update/update_info.h"

namespace {

UpdateInfo CompleteOffer() {
  UpdateInfo record;
  record.downloadUrl = L"http://127.0.0.1:8080/files/1.0.22.0.zip";
  record.hash = L"a9993e364706816aba3e25717850c26c9cd0d89d";
  record.version = L"1.0.22.0";
  record.size = 3;
  return record;
}

TEST(UsableTest, OnlyACompleteOfferThatIsNotCurrent) {
  const struct {
    const char* name;
    void (*change)(UpdateInfo&);
    bool usable;
  } cases[] = {
      {"complete", [](UpdateInfo&) {}, true},
      {"current", [](UpdateInfo& r) { r.isCurrent = 1; }, false},
      {"size 0", [](UpdateInfo& r) { r.size = 0; }, false},
      {"no url", [](UpdateInfo& r) { r.downloadUrl.clear(); }, false},
      {"no hash", [](UpdateInfo& r) { r.hash.clear(); }, false},
      {"no version", [](UpdateInfo& r) { r.version.clear(); }, false},
      {"needed is no part of it", [](UpdateInfo& r) { r.needed = 1; }, true},
      {"needed framework without url",
       [](UpdateInfo& r) {
         r.needed = 1;
         r.downloadUrl.clear();
       },
       false},
      {"no release notes needed", [](UpdateInfo& r) { r.releaseNotes.clear(); }, true},
      {"largest size", [](UpdateInfo& r) { r.size = 0xFFFFFFFFu; }, true},
  };
  for (const auto& c : cases) {
    UpdateInfo record = CompleteOffer();
    c.change(record);
    EXPECT_EQ(usable(record), c.usable) << c.name;
  }
  EXPECT_FALSE(usable(UpdateInfo()));
}

}  // namespace
