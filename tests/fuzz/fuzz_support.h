// What the fuzz targets share: cutting an input into fields, the code pages
// under test with their lead bytes written out independently of the core,
// a slow character walk to compare the core's walk with, and the check that
// stops the run when an invariant does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\n*** invariant violated: %s (%s:%d)\n", what, file, line);
  std::abort();
}

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::fuzz::Fail(#cond, __FILE__, __LINE__))

// A code page under test. `gbk` tells the reference walk which lead bytes
// to use: 0x81 to 0xFE, or none at all.
struct Page {
  const koravi::CodePage* cp;
  bool gbk;
  const char* name;
};

inline bool RefLead(const Page& page, char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return page.gbk && u >= 0x81 && u <= 0xFE;
}

// The native code page (GBK) and the single-byte one. The first call checks
// that their lead bytes are the ones the reference walk assumes.
inline const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = [] {
    std::vector<Page> p = {{&koravi::ActiveCodePage(), true, "native GBK"},
                           {&koravi::SingleByteCodePage(), false, "single-byte"}};
    for (const Page& page : p) {
      FUZZ_CHECK(page.cp->HasLeadBytes() == page.gbk);
      for (int c = 0; c < 256; ++c)
        FUZZ_CHECK(page.cp->IsLeadByte(static_cast<unsigned char>(c)) ==
                   RefLead(page, static_cast<char>(c)));
    }
    return p;
  }();
  return pages;
}

inline const Page& NativePage() { return Pages()[0]; }

// Length of the character at `pos` by the slow walk's rule.
inline size_t RefCharLength(const Page& page, std::string_view text, size_t pos) {
  return RefLead(page, text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

// at[i] is true when a character begins at byte i; at[size] (the end) is
// true as well. Found by walking from the first byte.
inline std::vector<char> Boundaries(const Page& page, std::string_view text) {
  std::vector<char> at(text.size() + 1, 0);
  size_t i = 0;
  while (i < text.size()) {
    at[i] = 1;
    i += RefCharLength(page, text, i);
  }
  at[text.size()] = 1;
  return at;
}

// True when `text` ends with a lead byte that has no byte after it: such a
// text glued in front of another would take that text's first byte as its
// trail byte.
inline bool EndsWithLoneLead(const Page& page, std::string_view text) {
  size_t i = 0, last = 0;
  while (i < text.size()) {
    last = i;
    i += RefCharLength(page, text, i);
  }
  return !text.empty() && RefLead(page, text[last]) && last + 1 == text.size();
}

// Whether `piece` stands in `text` at `pos`, compared byte by byte (the
// fuzzer's own memcmp hook would otherwise take most of the time).
inline bool SameAt(std::string_view text, size_t pos, std::string_view piece) {
  if (pos > text.size() || text.size() - pos < piece.size()) return false;
  for (size_t k = 0; k < piece.size(); ++k)
    if (text[pos + k] != piece[k]) return false;
  return true;
}

// Every boundary position where `pattern` occurs, in order (overlapping
// occurrences included).
inline std::vector<size_t> RefOccurrences(const Page& page, std::string_view text,
                                          std::string_view pattern) {
  const std::vector<char> at = Boundaries(page, text);
  std::vector<size_t> found;
  for (size_t i = 0; i + pattern.size() <= text.size(); ++i)
    if (at[i] && SameAt(text, i, pattern)) found.push_back(i);
  return found;
}

// Cuts the input into `count` fields at its first count - 1 NUL bytes; the
// last field takes all the rest, NUL bytes included. Missing fields are
// empty.
inline std::vector<std::string_view> Fields(const uint8_t* data, size_t size, size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) {
      fields.push_back(rest);
      rest = std::string_view();
      continue;
    }
    fields.push_back(rest.substr(0, nul));
    rest = rest.substr(nul + 1);
  }
  fields.push_back(rest);
  return fields;
}

}  // namespace fuzz
