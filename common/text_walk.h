// Walking a text one character at a time: a lead byte and the byte after it
// form one two-byte character, every other byte is a character by itself.
// Every search here matches only at character boundaries and compares bytes
// exactly, so the second byte of a two-byte character (a 0x5C, say) is never
// taken for a one-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "codepage.h"

namespace koravi {

constexpr size_t kNotFound = std::string_view::npos;

// Length in bytes (1 or 2) of the character that begins at `pos`. A lead byte
// at the very end of the text is a character by itself.
inline size_t CharLength(const CodePage& cp, std::string_view text, size_t pos) {
  return (cp.IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
}

// First occurrence of `pattern` at a character boundary at or after `from`,
// which must itself be a boundary. kNotFound when there is none; an empty
// pattern is found at `from`.
size_t FindText(const CodePage& cp, std::string_view text, std::string_view pattern,
                size_t from = 0);

// Position of the last one-byte character equal to `c`, or kNotFound.
size_t FindLastChar(const CodePage& cp, std::string_view text, char c);

// Every one-byte small letter becomes its capital; every two-byte character
// goes through the code page's case mapping. Nothing else changes.
std::string UpperCase(const CodePage& cp, std::string_view text);

// Every one-byte backslash becomes a forward slash.
std::string SlashForm(const CodePage& cp, std::string_view text);

}  // namespace koravi
