// SlashForm turns exactly the one-byte backslashes into slashes: the bytes
// of a two-byte character (a trail byte 0x5C included) never change.
// Input: the text.
#include "fuzz_support.h"
#include "text_walk.h"

using fuzz::Page;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const Page& page : fuzz::Pages()) {
    const std::string slashed = koravi::SlashForm(*page.cp, text);
    FUZZ_CHECK(slashed.size() == text.size());
    std::string expected(text);
    for (size_t i = 0; i < text.size(); i += fuzz::RefCharLength(page, text, i))
      if (fuzz::RefCharLength(page, text, i) == 1 && text[i] == '\\') expected[i] = '/';
    FUZZ_CHECK(slashed == expected);
    for (size_t i = 0; i < text.size(); ++i)
      FUZZ_CHECK(slashed[i] == text[i] || (text[i] == '\\' && slashed[i] == '/'));
    FUZZ_CHECK(koravi::SlashForm(*page.cp, slashed) == slashed);
  }
  return 0;
}
