#include <gtest/gtest.h>

#include "framework/string_table.h"
#include "resources/resource_ids.h"

namespace {

TEST(StringTableTest, EveryTextOfTheEnglishTableLoadsWhole) {
  for (UINT id = IDS_ABOUT_MENU; id <= IDS_PRODUCT_NAME; ++id) {
    EXPECT_FALSE(framework::LoadStringText(id).empty()) << id;
  }
  // Line breaks, trailing blanks and the placeholder survive the resource compiler.
  EXPECT_EQ(framework::LoadStringText(IDS_NO_CONNECTION),
            L"Slow or no internet connection.\r\nPlease connect to the internet to install.");
  EXPECT_EQ(framework::LoadStringText(IDS_INSTALL_FAILED),
            L"We're sorry. Service can't be installed successfully.\r\nPlease try later.");
  EXPECT_EQ(framework::LoadStringText(IDS_I_ACCEPT), L"I accept the ");
  EXPECT_EQ(framework::LoadStringText(IDS_PREPARE_TO_INSTALL), L"Prepare to install [ProductName]");
  EXPECT_EQ(framework::LoadStringText(IDS_PRODUCT_NAME), L"Corvanta");
  EXPECT_TRUE(framework::LoadStringText(IDS_PRODUCT_NAME + 1).empty());
}

}  // namespace
