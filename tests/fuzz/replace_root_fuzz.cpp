// ReplaceDefaultRoot against a slow reference that walks the text one
// character at a time, matches the searched root at each character and
// replaces it, under the native code page and the single-byte one:
//  - for a root that does not begin with the searched text, every
//    occurrence found left to right without overlap is replaced;
//  - for one that does, an occurrence that already reads the root, followed
//    by a character that ends a folder name or by the end, is kept, and
//    every other occurrence followed by such a character is replaced;
//  - when each occurrence of the default root in a text is followed by such
//    a character, a second run with a root that begins with the default
//    root changes nothing (other roots may bring it into the text).
// Input: root NUL searched NUL text. An empty searched text stands for the
// package's two default roots, with the root as given and as the adaptation
// makes it (upper-cased, and in slash form for the slash default), and also
// on a long text made of many occurrences; the text may hold further NUL
// bytes.

#include "fuzz_support.h"
#include "replace_root.h"
#include "text_walk.h"

using fuzz::Page;

namespace {

bool EndsName(char c) {
  return c == '\\' || c == '/' || c == '"' || c == '\'' || c == ';' || c == ' ' || c == '\t' ||
         c == '\r' || c == '\n';
}

bool FollowedByEnd(std::string_view text, size_t after) {
  return after == text.size() || EndsName(text[after]);
}

struct Replaced {
  std::string text;
  std::vector<size_t> replaced;                     // where `from` was replaced
  std::vector<std::pair<size_t, size_t>> adapted;  // spans kept as they were
};

Replaced RefReplace(const Page& page, std::string_view text, std::string_view from,
                    std::string_view to) {
  Replaced r;
  if (from.empty()) {
    r.text = std::string(text);
    return r;
  }
  const bool keeps_adapted = to.size() > from.size() && fuzz::SameAt(to, 0, from);
  size_t i = 0;
  while (i < text.size()) {
    if (fuzz::SameAt(text, i, from)) {
      if (keeps_adapted && fuzz::SameAt(text, i, to) && FollowedByEnd(text, i + to.size())) {
        size_t j = i;
        while (j < i + to.size()) j += fuzz::RefCharLength(page, text, j);
        r.adapted.emplace_back(i, j);
        r.text.append(text.substr(i, j - i));
        i = j;
        continue;
      }
      r.replaced.push_back(i);
      r.text.append(to);
      i += from.size();
      continue;
    }
    const size_t len = fuzz::RefCharLength(page, text, i);
    r.text.append(text.substr(i, len));
    i += len;
  }
  return r;
}

void Check(const Page& page, std::string_view text, std::string_view from, std::string_view to,
           bool from_is_default) {
  const koravi::CodePage& cp = *page.cp;
  const std::string once = koravi::ReplaceDefaultRoot(cp, text, from, to);
  const Replaced ref = RefReplace(page, text, from, to);
  FUZZ_CHECK(once == ref.text);
  if (!from_is_default) return;

  // The default roots never overlap themselves, so every occurrence followed
  // by the end of a folder name is either replaced or part of a path that
  // already reads the root.
  std::vector<char> handled(text.size() + 1, 0);
  for (size_t p : ref.replaced) handled[p] = 1;
  for (const auto& span : ref.adapted)
    for (size_t p = span.first; p < span.second; ++p) handled[p] = 1;
  const std::vector<size_t> occurrences = fuzz::RefOccurrences(page, text, from);
  for (size_t p : occurrences)
    if (FollowedByEnd(text, p + from.size())) FUZZ_CHECK(handled[p]);

  const bool root_extends_default = fuzz::SameAt(to, 0, from);
  bool all_followed_by_end = true;
  for (size_t p : occurrences)
    all_followed_by_end = all_followed_by_end && FollowedByEnd(text, p + from.size());
  if (root_extends_default && all_followed_by_end)
    FUZZ_CHECK(koravi::ReplaceDefaultRoot(cp, once, from, to) == once);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> f = fuzz::Fields(data, size, 3);
  const std::string_view root = f[0], from = f[1], text = f[2];
  for (const Page& page : fuzz::Pages()) {
    const koravi::CodePage& cp = *page.cp;
    FUZZ_CHECK(koravi::ReplaceDefaultRoot(cp, text, "", root) == text);
    if (!from.empty()) {
      Check(page, text, from, root, false);
      continue;
    }
    const std::string upper = koravi::UpperCase(cp, root);
    const std::string slashed = koravi::SlashForm(cp, upper);
    Check(page, text, koravi::kDefaultRoot, root, true);
    Check(page, text, koravi::kDefaultRoot, upper, true);
    Check(page, text, koravi::kDefaultRootSlashed, root, true);
    Check(page, text, koravi::kDefaultRootSlashed, slashed, true);
    if (!page.gbk) continue;
    // A file with a great many occurrences, more than a first pass may keep
    // track of: a default root followed by the first bytes of the text,
    // 1100 times; the one or the other default root, by the text's length.
    const bool backslash = text.size() % 2 == 0;
    const std::string_view default_root =
        backslash ? koravi::kDefaultRoot : koravi::kDefaultRootSlashed;
    const std::string_view piece = text.substr(0, 4);
    std::string many;
    for (int k = 0; k < 1100; ++k) many.append(default_root).append(piece);
    Check(page, many, default_root, backslash ? upper : slashed, true);
  }
  return 0;
}
