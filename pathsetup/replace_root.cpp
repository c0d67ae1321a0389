#include "replace_root.h"

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

}  // namespace

std::string ReplaceDefaultRoot(const CodePage& cp, std::string_view text, std::string_view from,
                               std::string_view to) {
  std::string out;
  if (from.empty()) return std::string(text);
  const bool guard = to.size() > from.size() && to.substr(0, from.size()) == from;
  out.reserve(text.size());
  size_t copied = 0;  // text[0, copied) is in `out`
  size_t pos = 0;
  while ((pos = FindText(cp, text, from, pos)) != kNotFound) {
    if (guard && text.substr(pos, to.size()) == to &&
        (pos + to.size() == text.size() || EndsFolderName(text[pos + to.size()]))) {
      // Already adapted: step over it character by character.
      const size_t stop = pos + to.size();
      while (pos < stop) pos += CharLength(cp, text, pos);
      continue;
    }
    out.append(text.substr(copied, pos - copied)).append(to);
    pos += from.size();
    copied = pos;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace koravi
