#include "replace_root.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "text_walk.h"

namespace koravi {

namespace {

bool EndsFolderName(char c) {
  switch (c) {
    case '\\': case '/': case '"': case '\'': case ';':
    case ' ': case '\t': case '\r': case '\n':
      return true;
    default:
      return false;
  }
}

// The occurrences of `from` to replace, one after the other.
class Occurrences {
 public:
  Occurrences(const CodePage& cp, std::string_view text, std::string_view from, std::string_view to)
      : cp_(cp), text_(text), from_(from), to_(to),
        guard_(to.size() > from.size() && to.substr(0, from.size()) == from) {}

  // The first occurrence to replace at or after `pos`, a character
  // boundary, or kNotFound.
  size_t Next(size_t pos) const {
    while ((pos = FindText(cp_, text_, from_, pos)) != kNotFound) {
      if (!(guard_ && text_.substr(pos, to_.size()) == to_ &&
            (pos + to_.size() == text_.size() || EndsFolderName(text_[pos + to_.size()]))))
        return pos;
      // Already adapted: step over it character by character.
      const size_t stop = pos + to_.size();
      while (pos < stop) pos += CharLength(cp_, text_, pos);
    }
    return kNotFound;
  }

 private:
  const CodePage& cp_;
  std::string_view text_, from_, to_;
  bool guard_;
};

}  // namespace

std::string ReplaceDefaultRoot(const CodePage& cp, std::string_view text, std::string_view from,
                               std::string_view to) {
  if (from.empty()) return std::string(text);
  const Occurrences occurrences(cp, text, from, to);
  // Find the occurrences first, so that the result is allocated once at its
  // exact size and written once. They are listed by the distance from the
  // end of the one before, in a list of at most an eighth of the text's
  // size; beyond it they are only counted, and searched for again while
  // the result is written.
  const size_t max_listed = std::max<size_t>(1024, text.size() / 32);
  std::vector<uint32_t> gaps;
  size_t count = 0;
  size_t listed_end = 0;  // end of the last listed occurrence
  bool listing = true;
  for (size_t pos = 0; (pos = occurrences.Next(pos)) != kNotFound; pos += from.size()) {
    ++count;
    if (listing && gaps.size() < max_listed && pos - listed_end <= UINT32_MAX) {
      if (gaps.size() == 1024) gaps.reserve(max_listed);  // a long list grows once
      gaps.push_back(static_cast<uint32_t>(pos - listed_end));
      listed_end = pos + from.size();
    } else {
      listing = false;
    }
  }
  std::string out;
  out.reserve(text.size() - count * from.size() + count * to.size());
  size_t copied = 0;  // text[0, copied) is in `out`
  auto replace_at = [&](size_t pos) {
    out.append(text, copied, pos - copied).append(to);
    copied = pos + from.size();
  };
  for (const uint32_t gap : gaps) replace_at(copied + gap);
  if (count > gaps.size()) {
    for (size_t pos = copied; (pos = occurrences.Next(pos)) != kNotFound; pos = copied)
      replace_at(pos);
  }
  out.append(text, copied, std::string_view::npos);
  return out;
}

}  // namespace koravi
