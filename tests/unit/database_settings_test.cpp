#include <gtest/gtest.h>

#include "database_settings.h"

using namespace koravi;

TEST(DatabaseSettings, FileBytesForARoot) {
  const std::string expected =
      "[mysqld]\r\n"
      "basedir=E:\\OFFICE\\mysql\\\r\n"
      "datadir=E:\\OFFICE\\data\\\r\n"
      "tmpdir=E:\\OFFICE/tmp/\r\n"
      "default-character-set=gbk\r\n"
      "set-variable=max_connections=1000\r\n"
      "\r\n"
      "set-variable=key_buffer_size=64M\r\n"
      "set-variable=max_allowed_packet=1M\r\n"
      "set-variable=table_cache=512\r\n"
      "set-variable=sort_buffer_size=2M\r\n"
      "set-variable=read_buffer_size=2M\r\n"
      "set-variable=read_rnd_buffer_size=8M\r\n"
      "set-variable=myisam_sort_buffer_size=32M\r\n"
      "set-variable=query_cache_size=32M\r\n"
      "set-variable=thread_concurrency=8";
  EXPECT_EQ(DatabaseSettingsFileBytes("E:\\OFFICE"), expected);
  EXPECT_EQ(DatabaseSettingsPieces("E:\\OFFICE").size(), 18u);
}

TEST(DatabaseSettings, LongRootsAreNeverCut) {
  const std::string root = "E:\\" + std::string(300, 'R');
  const std::string bytes = DatabaseSettingsFileBytes(root);
  EXPECT_NE(bytes.find("basedir=" + root + "\\mysql\\\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("tmpdir=" + root + "/tmp/\r\n"), std::string::npos);
}
