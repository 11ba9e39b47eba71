// What the built DLL asks of the system and offers to it: imports, exports, version resource.
#include <algorithm>
#include <set>
#include <string>

#include "component/component_fixture.h"
#include "support/import_table.h"

namespace {

TEST_F(ComponentTest, ImportsOnlyTheAllowedLibraries) {
  const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "winmm.dll", "msvcrt.dll",
                                         "utf8api.dll"};
  const std::vector<std::string> imported = testing_support::imported_dlls(component.module());
  EXPECT_FALSE(imported.empty());
  for (const std::string& dll : imported)
    EXPECT_TRUE(allowed.count(dll)) << dll;
}

TEST_F(ComponentTest, ExportsTheEntryFunctionAlone) {
  EXPECT_EQ(std::vector<std::string>{"plinvox_get_interface"},
            testing_support::exported_names(component.module()));
}

TEST_F(ComponentTest, CarriesItsVersionForTheFilesProperties) {
  wchar_t path[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameW(component.module(), path, MAX_PATH));
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_NE(0u, size);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(4, 1), fixed->dwFileVersionMS);

  wchar_t* description = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_STREQ(L"Volume control toolbar", description);
}

}  // namespace
