#include <gtest/gtest.h>

#include "install_root.h"

using namespace koravi;

TEST(InstallRoot, IsTheParentOfTheProgramsFolder) {
  struct Case {
    const char* exe;
    const char* root;
  } cases[] = {
      {"E:\\office\\tools\\hostsetup.exe", "E:\\office"},
      {"E:\\office\\bin\\x\\hostsetup.exe", "E:\\office\\bin"},
      {"C:\\hostsetup.exe", ""},                   // drive's root: no root at all
      {"C:\\tools\\hostsetup.exe", "C:"},
      {"hostsetup.exe", ""},
      {"E:\\\x9C\x5C\\tools\\h.exe", "E:\\\x9C\x5C"},                  // folder 淺
      {"E:\\a\x9C\x5C\\h.exe", "E:"},                                    // 淺 ends the program's folder
      {"E:\\my office\\tools\\h.exe", "E:\\my office"},
  };
  for (const auto& c : cases) EXPECT_EQ(RootFromExePath(ActiveCodePage(), c.exe), c.root) << c.exe;
}

TEST(InstallRoot, JoinsSuffixesUnchangedAndRefusesPathsTooLongForTheirBuffer) {
  EXPECT_EQ(JoinRoot("E:\\office", "\\conf\\httpd.conf"), "E:\\office\\conf\\httpd.conf");
  EXPECT_EQ(JoinRoot("", "\\conf\\httpd.conf"), "\\conf\\httpd.conf");
  const std::string suffix = "\\conf\\httpd.conf";  // 16 bytes
  const std::string fits(260 - 1 - suffix.size(), 'r');
  ASSERT_TRUE(JoinRootLimited(fits, suffix).has_value());
  EXPECT_EQ(JoinRootLimited(fits, suffix)->size(), 259u);
  EXPECT_FALSE(JoinRootLimited(fits + "r", suffix).has_value());
}
