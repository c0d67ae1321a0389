// The character walk and the case mapping, checked against the running
// system's code page functions (under Wine with code page 936) and against
// the native GBK equivalent.
#include <gtest/gtest.h>

#include "codepage.h"
#include "text_walk.h"

using namespace koravi;

namespace {
const CodePage& Gbk() { return ActiveCodePage(); }
}  // namespace

TEST(CodePage, LeadBytesAreThoseOfGbk) {
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(Gbk().IsLeadByte(static_cast<unsigned char>(c)), c >= 0x81 && c <= 0xFE) << c;
  for (int c = 0; c < 256; ++c) EXPECT_FALSE(SingleByteCodePage().IsLeadByte(c));
}

TEST(TextWalk, TrailByte5CIsNeverABackslash) {
  // "a\淺\b淺": 淺 is 9C 5C.
  const std::string s = "a\\\x9C\x5C\\b\x9C\x5C";
  EXPECT_EQ(FindLastChar(Gbk(), s, '\\'), 4u);
  EXPECT_EQ(FindLastChar(SingleByteCodePage(), s, '\\'), 7u);
  EXPECT_EQ(FindText(Gbk(), s, "\\b"), 4u);
  EXPECT_EQ(FindText(Gbk(), "\x9C\x5C" "C", "\\C"), kNotFound);
  EXPECT_EQ(FindText(SingleByteCodePage(), "\x9C\x5C" "C", "\\C"), 1u);
  // A lead byte at the very end is a character by itself.
  EXPECT_EQ(FindLastChar(Gbk(), "x\\\x81", '\\'), 1u);
  EXPECT_EQ(FindText(Gbk(), "ab\x81", "\x81"), 2u);
}

TEST(TextWalk, SlashFormKeepsTwoByteCharacters) {
  EXPECT_EQ(SlashForm(Gbk(), "E:\\OFFICE"), "E:/OFFICE");
  EXPECT_EQ(SlashForm(Gbk(), "E:\\\x9C\x5C\\x"), "E:/\x9C\x5C/x");
}

struct UpperCase_ {
  const char* what;
  std::string in, out;
};

TEST(TextWalk, UpperCaseFollowsTheCodePage) {
  const UpperCase_ cases[] = {
      {"ascii and Chinese", "e:\\office\\\xB9\xA4\xD7\xF7", "E:\\OFFICE\\\xB9\xA4\xD7\xF7"},  // 工作
      {"full-width oa", "e:\\\xA3\xEF\xA3\xE1", "E:\\\xA3\xCF\xA3\xC1"},                      // ｏａ -> ＯＡ
      {"full-width z", "\xA3\xFA", "\xA3\xDA"},
      {"greek alpha omega", "\xA6\xC1\xA6\xD8", "\xA6\xA1\xA6\xB8"},     // αω -> ΑΩ
      {"cyrillic a ya", "\xA7\xD1\xA7\xF1", "\xA7\xA1\xA7\xC1"},         // ая -> АЯ
      {"capitals and digits stay", "\xA3\xC1\xA3\xB0Z9", "\xA3\xC1\xA3\xB0Z9"},
      {"pinyin with tone mark stays", "a\xA8\xA1" "b", "A\xA8\xA1" "B"},  // ā has no GBK capital
      {"signs stay", "\xA1\xA3\xA3\xA1", "\xA1\xA3\xA3\xA1"},              // 。！
      {"trail 0x5C and lone lead", "\x9C\x5Cz\x81", "\x9C\x5CZ\x81"},
  };
  for (const auto& c : cases) EXPECT_EQ(UpperCase(Gbk(), c.in), c.out) << c.what;
  EXPECT_EQ(UpperCase(SingleByteCodePage(), "a\xA3\xE1"), "A\xA3\xE1");
}

TEST(TextWalk, UpperCaseChangesOnlyLettersAcrossAllOfGbk) {
  // Every two-byte character either stays or becomes another two-byte
  // character; the case mapping never changes a Chinese character.
  int changed = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string in{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string out = UpperCase(Gbk(), in);
      ASSERT_EQ(out.size(), 2u);
      if (out != in) {
        ++changed;
        EXPECT_TRUE(lead == 0xA2 || lead == 0xA3 || lead == 0xA6 || lead == 0xA7 || lead == 0xA8)
            << std::hex << lead << " " << trail;
      }
    }
  // 26 full-width, 24 Greek, 33 Cyrillic letters at least.
  EXPECT_GE(changed, 26 + 24 + 33);
  EXPECT_LE(changed, 26 + 24 + 33 + 10 + 6);
}

namespace {
std::string Times(int count, std::string_view piece) {
  std::string s;
  for (int i = 0; i < count; ++i) s.append(piece);
  return s;
}
}  // namespace

TEST(TextWalk, LongTextsMatchOnlyAtCharacterBoundaries) {
  // The searches look at many bytes at a time: matches next to long runs, at
  // the ends of 16- and 64-byte stretches and after runs of lead byte values
  // of either length must still be found only where a character begins.
  const std::string x63(63, 'x');
  struct Case {
    const char* what;
    std::string text;
    size_t expected;
  } cases[] = {
      {"right after a long ASCII run", std::string(200, 'x') + "C:\\VELK", 200},
      {"lead byte ends a 16-byte stretch", std::string(15, 'x') + "\x81" "C:\\VELK;C:\\VELK", 24},
      {"lead byte ends a 64-byte stretch", x63 + "\x81" "C:\\VELK" + x63 + "C:\\VELK", 134},
      {"nine lead byte values: the last pairs with C", x63 + Times(9, "\x81") + "C:\\VELKC:\\VELK", 79},
      {"ten lead byte values pair up", x63 + Times(10, "\x81") + "C:\\VELK", 73},
      {"exactly 64 starting positions, none matches", x63 + "C:\\VELx", kNotFound},
      {"only the last starting position matches", std::string(130, 'x') + "C:\\VELK", 130},
      {"two-byte characters all along", Times(100, "\x9C" "C") + ":\\VELK" + "C:\\VELK", 206},
  };
  for (const auto& c : cases) EXPECT_EQ(FindText(Gbk(), c.text, "C:\\VELK"), c.expected) << c.what;
  EXPECT_EQ(FindText(Gbk(), x63 + "\x81" "C:\\VELK" + x63 + "C:\\VELK", "C:\\VELK", 64), 64u);

  const std::string tail = "x\\" + Times(65, "\x81") + "\\";  // the 65th 0x81 pairs with the '\'
  EXPECT_EQ(FindLastChar(Gbk(), tail, '\\'), 1u);
  EXPECT_EQ(FindLastChar(Gbk(), "x\\" + Times(64, "\x81") + "\\", '\\'), 66u);
  EXPECT_EQ(FindLastChar(Gbk(), Times(100, "\x9C\x5C"), '\\'), kNotFound);
  EXPECT_EQ(FindLastChar(Gbk(), "\\" + Times(100, "\x9C\x5C"), '\\'), 0u);
  // Only a one-byte character counts: a lead byte value is one only as the
  // last byte of the text, never as the first byte of a two-byte character.
  EXPECT_EQ(FindLastChar(Gbk(), Times(71, "\x81") + "x", '\x81'), kNotFound);
  EXPECT_EQ(FindLastChar(Gbk(), Times(70, "\x81") + "x", '\x81'), kNotFound);
  EXPECT_EQ(FindLastChar(Gbk(), Times(71, "\x81"), '\x81'), 70u);
  // \工淺\ and the two-byte character 81 FF.
  EXPECT_EQ(FindLastChar(Gbk(), "\\\xB9\xA4\x9C\x5C\\\x81\xFF", '\x81'), kNotFound);
  EXPECT_EQ(FindLastChar(SingleByteCodePage(), "\x81\xFF", '\x81'), 0u);
}

TEST(TextWalk, UpperCaseOfLongTexts) {
  // Second bytes that look like small letters stay, on both sides of the
  // ends of 64-byte stretches and in texts long enough for the case table.
  EXPECT_EQ(UpperCase(Gbk(), std::string(63, 'a') + "\x81" "a" + std::string(70, 'b')),
            std::string(63, 'A') + "\x81" "a" + std::string(70, 'B'));
  EXPECT_EQ(UpperCase(Gbk(), std::string(70, 'a') + "\xA3\xE1z" + Times(40, "\x9Cz")),
            std::string(70, 'A') + "\xA3\xC1Z" + Times(40, "\x9Cz"));
  const std::string piece = "php_\x9C\x5C" "a\xA3\xE1\xB9\xA4\xA6\xC1z\x81";  // 淺ａ工α
  const std::string upper = "PHP_\x9C\x5C" "A\xA3\xC1\xB9\xA4\xA6\xA1Z\x81";
  EXPECT_EQ(UpperCase(Gbk(), Times(5000, piece + "q")), Times(5000, upper + "q"));
  EXPECT_EQ(UpperCase(SingleByteCodePage(), Times(30, "ab\xE1")), Times(30, "AB\xE1"));
}
