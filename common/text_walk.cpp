#include "text_walk.h"

#include <cstring>

namespace koravi {

size_t FindText(const CodePage& cp, std::string_view text, std::string_view pattern,
                size_t from) {
  const size_t n = text.size();
  const size_t m = pattern.size();
  if (m == 0) return from <= n ? from : kNotFound;
  if (m > n) return kNotFound;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char first = static_cast<unsigned char>(pattern[0]);
  const size_t last_start = n - m;
  size_t i = from;
  while (i <= last_start) {
    const unsigned char c = s[i];
    if (c == first && std::memcmp(s + i, pattern.data(), m) == 0) return i;
    i += (cp.IsLeadByte(c) && i + 1 < n) ? 2 : 1;
  }
  return kNotFound;
}

size_t FindLastChar(const CodePage& cp, std::string_view text, char c) {
  size_t found = kNotFound;
  for (size_t i = 0; i < text.size(); i += CharLength(cp, text, i))
    if (text[i] == c) found = i;  // a two-byte character is skipped whole
  return found;
}

std::string UpperCase(const CodePage& cp, std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    const size_t len = CharLength(cp, out, i);
    if (len == 2) {
      unsigned char upper[2];
      if (cp.UpperDoubleByte(static_cast<unsigned char>(out[i]),
                             static_cast<unsigned char>(out[i + 1]), upper)) {
        out[i] = static_cast<char>(upper[0]);
        out[i + 1] = static_cast<char>(upper[1]);
      }
    } else if (out[i] >= 'a' && out[i] <= 'z') {
      out[i] = static_cast<char>(out[i] - 'a' + 'A');
    }
    i += len;
  }
  return out;
}

std::string SlashForm(const CodePage& cp, std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(cp, out, i))
    if (out[i] == '\\') out[i] = '/';
  return out;
}

}  // namespace koravi
