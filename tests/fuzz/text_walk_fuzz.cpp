// CharLength, FindText and FindLastChar against a slow walk of the same
// text, under the native code page and the single-byte one.
// Input: pattern NUL text (the text may hold further NUL bytes).
#include <algorithm>

#include "fuzz_support.h"
#include "text_walk.h"

using fuzz::Page;

namespace {

void CheckCharLength(const Page& page, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i)
    FUZZ_CHECK(koravi::CharLength(*page.cp, text, i) == fuzz::RefCharLength(page, text, i));
}

// FindText must give exactly the boundary occurrences, first one first:
// never a position inside a two-byte character (so a trail byte 0x5C is
// never taken for a backslash), and never skip one.
void CheckFindText(const Page& page, std::string_view text, std::string_view pattern) {
  const koravi::CodePage& cp = *page.cp;
  std::vector<size_t> expected;
  const std::vector<char> at = fuzz::Boundaries(page, text);
  for (size_t i = 0; i <= text.size(); ++i)
    if (at[i] && fuzz::SameAt(text, i, pattern))
      expected.push_back(i);

  // Every occurrence, each search starting at the character after the last.
  std::vector<size_t> got;
  size_t from = 0;
  for (;;) {
    const size_t p = koravi::FindText(cp, text, pattern, from);
    if (p == koravi::kNotFound) break;
    FUZZ_CHECK(p >= from && p <= text.size());
    FUZZ_CHECK(got.size() < expected.size());
    got.push_back(p);
    if (p == text.size()) break;
    from = p + fuzz::RefCharLength(page, text, p);
  }
  FUZZ_CHECK(got == expected);

  // Searches starting at boundaries spread over the text give the first
  // occurrence at or after their start.
  std::vector<size_t> starts;
  for (size_t i = 0; i <= text.size(); ++i)
    if (at[i]) starts.push_back(i);
  const size_t step = std::max<size_t>(1, starts.size() / 24);
  for (size_t k = 0; k < starts.size(); k += step) {
    const size_t start = starts[k];
    const auto first = std::lower_bound(expected.begin(), expected.end(), start);
    const size_t want = first == expected.end() ? koravi::kNotFound : *first;
    FUZZ_CHECK(koravi::FindText(cp, text, pattern, start) == want);
  }
}

// FindLastChar gives the last one-byte character equal to c; the bytes of a
// two-byte character never count, whatever their value.
void CheckFindLastChar(const Page& page, std::string_view text, std::string_view pattern) {
  size_t last[256];
  std::fill(std::begin(last), std::end(last), koravi::kNotFound);
  for (size_t i = 0; i < text.size(); i += fuzz::RefCharLength(page, text, i))
    if (fuzz::RefCharLength(page, text, i) == 1) last[static_cast<unsigned char>(text[i])] = i;

  std::string wanted = "\\/.:\x81\xFE";
  wanted.append(pattern.substr(0, 8));
  for (char c : wanted)
    FUZZ_CHECK(koravi::FindLastChar(*page.cp, text, c) == last[static_cast<unsigned char>(c)]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> f = fuzz::Fields(data, size, 2);
  const std::string_view pattern = f[0];
  const std::string_view text = f[1];
  for (const Page& page : fuzz::Pages()) {
    CheckCharLength(page, text);
    CheckFindText(page, text, pattern);
    CheckFindLastChar(page, text, pattern);
  }
  return 0;
}
