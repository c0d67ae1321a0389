#include "server_block.h"

#include "text_walk.h"

namespace koravi {

namespace {

constexpr std::string_view kServerName = "ServerName ";
constexpr std::string_view kListen = "Listen ";

// Position just past the `count`-th LF at or after `from`, or the end of the
// text when it has fewer.
size_t PastLineFeeds(std::string_view text, size_t from, int count) {
  size_t i = from;
  while (i < text.size() && count > 0) {
    if (text[i++] == '\n') --count;
  }
  return i;
}

}  // namespace

ServerAddress ParseServerBlock(const CodePage& cp, std::string_view text) {
  ServerAddress found;
  const size_t i = FindText(cp, text, kReadingMarker);
  if (i == kNotFound) return found;
  // The block: the line end before the marker, the marker line and the two
  // lines after it.
  const std::string_view block = text.substr(i, PastLineFeeds(text, i, 4) - i);
  const size_t b = FindText(cp, block, kServerName);
  if (b == kNotFound) return found;
  const size_t c = FindText(cp, block, "\r", b + kServerName.size());
  if (c == kNotFound) return found;
  found.host = std::string(block.substr(b + kServerName.size(), c - b - kServerName.size()));
  const size_t d = FindText(cp, block, kListen, c + 1);
  if (d == kNotFound) return found;
  const size_t e = FindText(cp, block, "\r", d + kListen.size());
  if (e == kNotFound) return found;
  found.port = std::string(block.substr(d + kListen.size(), e - d - kListen.size()));
  return found;
}

std::string BuildServerBlock(std::string_view host, std::string_view port) {
  std::string block(kWritingMarker);
  block.append("\r\n");
  block.append("       ServerName ").append(host).append("\r\n");
  block.append("       Listen ").append(port).append("\r\n");
  return block;
}

std::string MergeServerBlock(const CodePage& cp, std::string_view text, std::string_view host,
                             std::string_view port) {
  const std::string block = BuildServerBlock(host, port);
  const size_t i = FindText(cp, text, kReadingMarker);
  if (i == kNotFound) {
    std::string appended;
    appended.reserve(text.size() + block.size());
    appended.append(text).append(block);
    return appended;
  }
  // Replace exactly the block the parse reads: from the line end before the
  // marker to the end of the second line after it. When the block has the
  // shape we write, the empty line before it is kept as it is, which gives
  // the same bytes as replacing from the writing marker on.
  const size_t end = PastLineFeeds(text, i, 4);
  const std::string_view written = std::string_view(block).substr(kWritingMarker.size() -
                                                                   kReadingMarker.size());
  std::string merged;
  merged.reserve(i + written.size() + (text.size() - end));
  merged.append(text.substr(0, i)).append(written).append(text.substr(end));
  return merged;
}

std::string BuildClientSettings(std::string_view host, std::string_view port) {
  std::string s = "[Setting]\r\nQuilloURL=http://";
  s.append(host).append(":").append(port).append("/");
  return s;
}

std::string BuildLoginUrl(std::string_view host, std::string_view port) {
  std::string url = "http://";
  url.append(host);
  if (port != "80") url.append(":").append(port);
  return url;
}

}  // namespace koravi
