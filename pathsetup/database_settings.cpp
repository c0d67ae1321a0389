#include "database_settings.h"

namespace koravi {

std::vector<std::string> DatabaseSettingsPieces(std::string_view root) {
  const std::string r(root);
  return {
      "[mysqld]\n",
      "basedir=" + r + "\\mysql\\",
      "\n",
      "datadir=" + r + "\\data\\",
      "\n",
      "tmpdir=" + r + "/tmp/",
      "\ndefault-character-set=gbk",
      "\nset-variable=max_connections=1000",
      "\n",
      "\nset-variable=key_buffer_size=64M",
      "\nset-variable=max_allowed_packet=1M",
      "\nset-variable=table_cache=512",
      "\nset-variable=sort_buffer_size=2M",
      "\nset-variable=read_buffer_size=2M",
      "\nset-variable=read_rnd_buffer_size=8M",
      "\nset-variable=myisam_sort_buffer_size=32M",
      "\nset-variable=query_cache_size=32M",
      "\nset-variable=thread_concurrency=8",
  };
}

std::string DatabaseSettingsFileBytes(std::string_view root) {
  std::string bytes;
  for (const std::string& piece : DatabaseSettingsPieces(root))
    for (char c : piece) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
  return bytes;
}

}  // namespace koravi
