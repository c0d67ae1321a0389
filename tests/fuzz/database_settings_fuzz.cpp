// The database settings for any root: the sixteen documented lines, each
// but the last ended by CR LF, and every LF of the root written as CR LF as
// well, since the file is written in text mode.
// Input: the root.
#include "database_settings.h"
#include "fuzz_support.h"

namespace {

std::string InTextMode(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view root(reinterpret_cast<const char*>(data), size);
  const std::string r = InTextMode(root);
  const std::string lines[] = {
      "[mysqld]",
      "basedir=" + r + "\\mysql\\",
      "datadir=" + r + "\\data\\",
      "tmpdir=" + r + "/tmp/",
      "default-character-set=gbk",
      "set-variable=max_connections=1000",
      "",
      "set-variable=key_buffer_size=64M",
      "set-variable=max_allowed_packet=1M",
      "set-variable=table_cache=512",
      "set-variable=sort_buffer_size=2M",
      "set-variable=read_buffer_size=2M",
      "set-variable=read_rnd_buffer_size=8M",
      "set-variable=myisam_sort_buffer_size=32M",
      "set-variable=query_cache_size=32M",
      "set-variable=thread_concurrency=8",
  };
  std::string expected;
  for (const std::string& line : lines) {
    if (!expected.empty()) expected += "\r\n";
    expected += line;
  }
  const std::string bytes = koravi::DatabaseSettingsFileBytes(root);
  FUZZ_CHECK(bytes == expected);

  // The pieces handed to the text-mode stream give those bytes.
  const std::vector<std::string> pieces = koravi::DatabaseSettingsPieces(root);
  FUZZ_CHECK(pieces.size() == 18);
  std::string written;
  for (const std::string& piece : pieces) written += InTextMode(piece);
  FUZZ_CHECK(written == expected);
  return 0;
}
