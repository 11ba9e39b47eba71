// system_error_text and winmm_error_text, in the wide and the ANSI form of the system call.
#include "text/system_error.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "utf8api_testing.h"

namespace dwx {
namespace {

// The parameter is what utf8api's IsUnicode() answers during the test.
class SystemErrorTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { utf8api_set_unicode(GetParam()); }
  void TearDown() override { utf8api_set_unicode(-1); }
};

std::string text_of(uint32_t code, HMODULE module) {
  return system_error_text(code, module).c_str();
}

TEST_P(SystemErrorTest, SystemTextIsKeptAsGivenLineBreakIncluded) {
  const std::string text = text_of(ERROR_FILE_NOT_FOUND, nullptr);
  ASSERT_GT(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_NE(text.find("not found"), std::string::npos) << text;
}

TEST_P(SystemErrorTest, UnknownCodeGivesTheEmptyString) {
  Utf8String text = system_error_text(0x2FFFFFFF, nullptr);
  EXPECT_STREQ(text.c_str(), "");
  EXPECT_EQ(text.length(), 0u);
}

TEST_P(SystemErrorTest, MessageWithAnInsertKeepsItsText) {
  // "%1" stands where the system would put a file name; with no arguments to
  // give, the text must still come back rather than nothing (or a fault).
  const std::string text = text_of(ERROR_BAD_EXE_FORMAT, nullptr);
  EXPECT_NE(text.find("%1"), std::string::npos) << text;
}

TEST_P(SystemErrorTest, ModuleGivenMeansThatModulesTableOnly) {
  // This program has no message table: the system's own text must not stand in.
  EXPECT_EQ(text_of(ERROR_FILE_NOT_FOUND, GetModuleHandleA(nullptr)), "");
}

TEST_P(SystemErrorTest, WinmmCodesAreLookedUpInWinmm) {
  const HMODULE winmm = LoadLibraryA("winmm.dll");
  ASSERT_NE(winmm, nullptr);
  // Code 2 (MMSYSERR_BADDEVICEID) means something else in the system's table;
  // Wine's winmm has no message table at all, so there the text is empty.
  EXPECT_NE(std::string(winmm_error_text(2).c_str()), text_of(2, nullptr));
  FreeLibrary(winmm);
}

INSTANTIATE_TEST_SUITE_P(WideAndAnsi, SystemErrorTest, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param ? "Wide" : "Ansi";
                         });

TEST(SystemErrorBranchesTest, BothFormsGiveTheSameText) {
  utf8api_set_unicode(1);
  const std::string wide = text_of(ERROR_ACCESS_DENIED, nullptr);
  utf8api_set_unicode(0);
  const std::string ansi = text_of(ERROR_ACCESS_DENIED, nullptr);
  utf8api_set_unicode(-1);
  EXPECT_FALSE(wide.empty());
  EXPECT_EQ(wide, ansi);
}

}  // namespace
}  // namespace dwx
