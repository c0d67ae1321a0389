#include <gtest/gtest.h>

#include "replace_root.h"

using namespace koravi;

namespace {
std::string Replace(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceDefaultRoot(ActiveCodePage(), text, from, to);
}
}  // namespace

TEST(ReplaceDefaultRoot, ReplacesEveryOccurrenceOfItsOwnForm) {
  struct Case {
    const char* what;
    std::string text, from, to, expected;
  } cases[] = {
      {"several, inside longer paths",
       "extension_dir = \"C:\\VELK\\php\\ext\"\r\nsession=C:\\VELK\\tmp;C:\\VELK",
       "C:\\VELK", "D:\\APPS\\OA",
       "extension_dir = \"D:\\APPS\\OA\\php\\ext\"\r\nsession=D:\\APPS\\OA\\tmp;D:\\APPS\\OA"},
      {"other case and other form stay", "c:\\velk C:/VELK C:\\VELK", "C:\\VELK", "E:\\X",
       "c:\\velk C:/VELK E:\\X"},
      {"slash form", "DocumentRoot \"C:/VELK/www\"", "C:/VELK", "E:/OFFICE",
       "DocumentRoot \"E:/OFFICE/www\""},
      {"no overlap, inserted text not searched again", "C:\\VELKC:\\VELK", "C:\\VELK", "X:C:\\VELK",
       "X:C:\\VELKX:C:\\VELK"},
      {"default root stays the same", "C:\\VELK\\bin", "C:\\VELK", "C:\\VELK", "C:\\VELK\\bin"},
      {"not inside a two-byte character", "\x81" "C:\\VELK", "C:\\VELK", "E:", "\x81" "C:\\VELK"},
      {"after a whole two-byte character", "\x9C\x5C" "C:\\VELK", "C:\\VELK", "E:", "\x9C\x5C" "E:"},
      {"root in a drive's root", "C:\\VELK\\bin", "C:\\VELK", "", "\\bin"},
      {"root that is a prefix of the default root", "C:\\VELK\\bin", "C:\\VELK", "C:", "C:\\bin"},
  };
  for (const auto& c : cases) EXPECT_EQ(Replace(c.text, c.from, c.to), c.expected) << c.what;
}

TEST(ReplaceDefaultRoot, ASecondRunLeavesAdaptedPathsAlone) {
  struct Case {
    std::string from, to, text;
  } cases[] = {
      {"C:\\VELK", "C:\\VELK2", "a=C:\\VELK\\bin\r\nb=\"C:\\VELK\"\r\nc='C:\\VELK';C:\\VELK C:\\VELK\tC:\\VELK\nC:\\VELK"},
      {"C:\\VELK", "C:\\VELK\\SUB", "a=C:\\VELK\\bin\r\nb=C:\\VELK/x C:\\VELK"},
      {"C:/VELK", "C:/VELK/SUB", "ServerRoot \"C:/VELK\"\r\nDocumentRoot \"C:/VELK/www\""},
  };
  for (const auto& c : cases) {
    const std::string once = Replace(c.text, c.from, c.to);
    EXPECT_EQ(once.find(c.from + "\\bin"), std::string::npos) << once;
    EXPECT_EQ(Replace(once, c.from, c.to), once) << c.to;
  }
  EXPECT_EQ(Replace("C:\\VELK\\bin", "C:\\VELK", "C:\\VELK2"), "C:\\VELK2\\bin");
  EXPECT_EQ(Replace("C:\\VELK2\\bin", "C:\\VELK", "C:\\VELK2"), "C:\\VELK2\\bin");
  // A different folder that merely begins like the root is still adapted.
  EXPECT_EQ(Replace("C:\\VELK22\\bin", "C:\\VELK", "C:\\VELK2"), "C:\\VELK222\\bin");
}

TEST(ReplaceDefaultRoot, TextsWithVeryManyOccurrences) {
  std::string text, expected, expected2, straddling;
  for (int i = 0; i < 40000; ++i) {
    text += "C:\\VELK;";
    expected += "D:\\OA;";
    expected2 += "C:\\VELK2;";
    straddling += "\x81" "C:\\VELK";
  }
  EXPECT_EQ(Replace(text, "C:\\VELK", "D:\\OA"), expected);
  EXPECT_EQ(Replace(straddling, "C:\\VELK", "D:\\OA"), straddling);
  EXPECT_EQ(Replace(text, "C:\\VELK", "C:\\VELK2"), expected2);
  EXPECT_EQ(Replace(expected2, "C:\\VELK", "C:\\VELK2"), expected2);
}
