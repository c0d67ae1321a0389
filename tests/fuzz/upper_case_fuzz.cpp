// UpperCase against a reference built from the letters GBK holds: a to z,
// and the two-byte small letters whose capitals GBK also holds. Nothing
// else may change: not the length, not a digit or sign, not a Chinese
// character, not a letter without a two-byte capital.
// Input: the text.
#include "fuzz_support.h"
#include "text_walk.h"

using fuzz::Page;

namespace {

// A run of two-byte small letters with one lead byte whose capitals follow
// each other in the same order.
struct LetterRun {
  unsigned char lead, first, last, capital_first, capital_lead;
};

constexpr LetterRun kGbkLetters[] = {
    {0xA2, 0xA1, 0xAA, 0xF1, 0xA2},  // small Roman numerals one to ten
    {0xA3, 0xE1, 0xFA, 0xC1, 0xA3},  // full-width a to z
    {0xA6, 0xC1, 0xD8, 0xA1, 0xA6},  // Greek alpha to omega
    {0xA7, 0xD1, 0xF1, 0xA1, 0xA7},  // Cyrillic a to ya
};

bool RefUpperDoubleByte(const Page& page, unsigned char lead, unsigned char trail,
                        unsigned char out[2]) {
  if (!page.gbk) return false;
  for (const LetterRun& run : kGbkLetters)
    if (lead == run.lead && trail >= run.first && trail <= run.last) {
      out[0] = run.capital_lead;
      out[1] = static_cast<unsigned char>(run.capital_first + (trail - run.first));
      return true;
    }
  return false;
}

// The code page's own two-byte mapping must agree with the table for every
// pair of bytes.
bool CheckCodePageMapping() {
  for (const Page& page : fuzz::Pages())
    for (int lead = 0x81; lead <= 0xFE; ++lead)
      for (int trail = 0; trail < 256; ++trail) {
        unsigned char got[2] = {0, 0}, want[2] = {0, 0};
        const bool mapped = page.cp->UpperDoubleByte(static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail), got);
        FUZZ_CHECK(mapped == RefUpperDoubleByte(page, static_cast<unsigned char>(lead),
                                                static_cast<unsigned char>(trail), want));
        if (mapped) FUZZ_CHECK(got[0] == want[0] && got[1] == want[1]);
      }
  return true;
}

std::string RefUpperCase(const Page& page, std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t len = fuzz::RefCharLength(page, text, i);
    if (len == 2) {
      unsigned char upper[2];
      if (RefUpperDoubleByte(page, static_cast<unsigned char>(text[i]),
                             static_cast<unsigned char>(text[i + 1]), upper)) {
        out += static_cast<char>(upper[0]);
        out += static_cast<char>(upper[1]);
      } else {
        out.append(text.substr(i, 2));
      }
    } else {
      const char c = text[i];
      out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    i += len;
  }
  return out;
}

void Check(const Page& page, std::string_view text) {
  const std::string upper = koravi::UpperCase(*page.cp, text);
  FUZZ_CHECK(upper.size() == text.size());
  FUZZ_CHECK(upper == RefUpperCase(page, text));
  // The characters stay where they were, so a second pass finds only
  // capitals.
  FUZZ_CHECK(fuzz::Boundaries(page, upper) == fuzz::Boundaries(page, text));
  FUZZ_CHECK(koravi::UpperCase(*page.cp, upper) == upper);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool mapping_checked = CheckCodePageMapping();
  (void)mapping_checked;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Long texts, such as a whole configuration file, may be upper-cased
  // another way than short ones under the system's code page: the input
  // repeated to some 20 KB as well.
  std::string repeated;
  while (!text.empty() && repeated.size() < 20000) repeated.append(text);
  for (const Page& page : fuzz::Pages()) Check(page, text);
  Check(fuzz::NativePage(), repeated);
  return 0;
}
