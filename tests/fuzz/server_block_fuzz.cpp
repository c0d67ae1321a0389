// ParseServerBlock and MergeServerBlock on any text, under the native code
// page and the single-byte one. The parse gives what a slow walk of the
// block finds. For a host and a port without CR or LF that end on a whole
// character:
//  - the merge keeps the text before the first block, puts the new block
//    there, and keeps the text after the old block's fourth line feed (or
//    appends the written block when the text has none);
//  - the parse of the merge gives that host and port;
//  - merging a second time changes nothing;
//  - merging never leaves more blocks than max(1, blocks before), but for
//    one case explained below.
// Input: host NUL port NUL text (the text may hold further NUL bytes).
#include <algorithm>
#include <optional>

#include "fuzz_support.h"
#include "server_block.h"

using fuzz::Page;

namespace {

constexpr std::string_view kMarker = "\r\n#Server and port Configuration";

// The value as the dialog could hand it over: no CR or LF, and no lead byte
// left without its trail byte at the end.
std::string Complete(const Page& page, std::string_view value) {
  std::string out;
  for (char c : value)
    if (c != '\r' && c != '\n') out += c;
  if (fuzz::EndsWithLoneLead(page, out)) out.pop_back();
  return out;
}

// The first boundary occurrence of `pattern` in `text` at or after `from`.
size_t FirstFrom(const Page& page, std::string_view text, std::string_view pattern, size_t from) {
  const std::vector<size_t> all = fuzz::RefOccurrences(page, text, pattern);
  const auto it = std::lower_bound(all.begin(), all.end(), from);
  return it == all.end() ? std::string_view::npos : *it;
}

// The parse by its description: the block runs from the first marker to its
// fourth line feed; the host follows the first "ServerName " in it up to the
// next CR character (a byte 0x0D that is the second byte of a two-byte
// character is none), the port the first "Listen " after that CR.
void CheckParse(const Page& page, std::string_view text) {
  std::optional<std::string> host, port;
  const size_t npos = std::string_view::npos;
  const size_t i = FirstFrom(page, text, kMarker, 0);
  if (i != npos) {
    size_t j = i;
    for (int feeds = 0; j < text.size() && feeds < 4;)
      if (text[j++] == '\n') ++feeds;
    const std::string_view block = text.substr(i, j - i);
    const size_t b = FirstFrom(page, block, "ServerName ", 0);
    const size_t c = b == npos ? npos : FirstFrom(page, block, "\r", b + 11);
    if (c != npos) {
      host = std::string(block.substr(b + 11, c - b - 11));
      const size_t d = FirstFrom(page, block, "Listen ", c + 1);
      const size_t e = d == npos ? npos : FirstFrom(page, block, "\r", d + 7);
      if (e != npos) port = std::string(block.substr(d + 7, e - d - 7));
    }
  }
  const koravi::ServerAddress a = koravi::ParseServerBlock(*page.cp, text);
  FUZZ_CHECK(a.host == host);
  FUZZ_CHECK(a.port == port);
}

void CheckMerge(const Page& page, std::string_view text, const std::string& host,
                const std::string& port) {
  const koravi::CodePage& cp = *page.cp;
  const std::string merged = koravi::MergeServerBlock(cp, text, host, port);
  const std::string lines = "#Server and port Configuration\r\n       ServerName " + host +
                            "\r\n       Listen " + port + "\r\n";

  const std::vector<size_t> blocks = fuzz::RefOccurrences(page, text, kMarker);
  if (blocks.empty()) {
    FUZZ_CHECK(merged == std::string(text) + "\r\n\r\n" + lines);
  } else {
    const size_t i = blocks.front();
    size_t end = i;
    for (int feeds = 0; end < text.size() && feeds < 4;)
      if (text[end++] == '\n') ++feeds;
    FUZZ_CHECK(merged == std::string(text.substr(0, i)) + "\r\n" + lines +
                             std::string(text.substr(end)));
  }

  const koravi::ServerAddress a = koravi::ParseServerBlock(cp, merged);
  FUZZ_CHECK(a.host && *a.host == host);
  FUZZ_CHECK(a.port && *a.port == port);
  FUZZ_CHECK(koravi::MergeServerBlock(cp, merged, host, port) == merged);

  // No more blocks than before, or one when there was none. The one
  // exception: the kept text goes on with a line reading like the marker
  // line whose line end before it was not a CR LF character (a bare LF, or
  // a CR taken as the second byte of a two-byte character). The new block's
  // last CR LF turns that line into a block of its own, which stays after
  // the one the parse reads and is never touched by a later merge.
  const size_t new_block_end =
      blocks.empty() ? merged.size() : blocks.front() + 2 + lines.size();
  const std::vector<size_t> after = fuzz::RefOccurrences(page, merged, kMarker);
  const bool marker_at_the_seam =
      std::find(after.begin(), after.end(), new_block_end - 2) != after.end();
  FUZZ_CHECK(after.size() <= std::max<size_t>(1, blocks.size()) + (marker_at_the_seam ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> f = fuzz::Fields(data, size, 3);
  const std::string_view text = f[2];
  for (const Page& page : fuzz::Pages()) {
    CheckParse(page, text);
    CheckMerge(page, text, Complete(page, f[0]), Complete(page, f[1]));
  }
  return 0;
}
