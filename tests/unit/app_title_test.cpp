#include <gtest/gtest.h>

#include "app_title.h"

using namespace koravi;

TEST(AppTitle, IsTheProgramsNameWithoutExtension) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {
      {"E:\\office\\tools\\hostsetup.exe", "hostsetup"},
      {"E:\\office\\tools\\setup2.exe", "setup2"},
      {"C:/x/pathsetup.EXE", "pathsetup"},
      {"C:setup.exe", "setup"},
      {"E:\\a.b\\tool.v2.exe", "tool.v2"},
      {"E:\\\x9C\x5C\\\xB0\xB2\xD7\xB0.exe", "\xB0\xB2\xD7\xB0"},  // 淺\安装.exe
  };
  for (const auto& c : cases) EXPECT_EQ(AppTitleFromPath(c.path), c.title) << c.path;
}
