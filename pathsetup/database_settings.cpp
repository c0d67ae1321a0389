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

namespace koravi {

std::string DatabaseSettingsFailureMessage(const std::string& path) {
  // 无法写入数据库设置文件 <path>，请检查Windows目录的写入权限。
  return "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xCA\xFD\xBE\xDD\xBF\xE2\xC9\xE8\xD6\xC3"
         "\xCE\xC4\xBC\xFE " +
         path +
         "\xA3\xAC\xC7\xEB\xBC\xEC\xB2\xE9Windows\xC4\xBF\xC2\xBC\xB5\xC4\xD0\xB4\xC8\xEB"
         "\xC8\xA8\xCF\xDE\xA1\xA3";
}

}  // namespace koravi
