#include <gtest/gtest.h>

#include "server_block.h"

using namespace koravi;

namespace {
const CodePage& Cp() { return ActiveCodePage(); }
const std::string kBlock8080 =
    "\r\n\r\n#Server and port Configuration\r\n"
    "       ServerName srv01\r\n"
    "       Listen 8080\r\n";
}  // namespace

TEST(ServerBlock, WrittenBytesAndAppending) {
  EXPECT_EQ(BuildServerBlock("srv01", "8080"), kBlock8080);
  // After a last line with its line end: two empty lines before the marker.
  EXPECT_EQ(MergeServerBlock(Cp(), "Port 80\r\n", "srv01", "8080"), "Port 80\r\n" + kBlock8080);
  // Without one, the block's first line end ends that line.
  EXPECT_EQ(MergeServerBlock(Cp(), "Port 80", "srv01", "8080"), "Port 80" + kBlock8080);
  EXPECT_EQ(MergeServerBlock(Cp(), "", "srv01", "8080"), kBlock8080);
}

TEST(ServerBlock, MergeReplacesTheBlockInPlace) {
  const std::string before = "A\r\n";
  const std::string after = "\r\n# after\r\nB\r\n";
  struct Case {
    const char* what;
    std::string text, expected;
  } cases[] = {
      {"written shape", before + kBlock8080 + after,
       before + BuildServerBlock("h2", "81") + after},
      {"extra line inside the old block stays after the new one",
       before + "\r\n\r\n#Server and port Configuration\r\n       ServerName a\r\n# x\r\n       Listen 1\r\n" + after,
       before + BuildServerBlock("h2", "81") + "       Listen 1\r\n" + after},
      {"block cut short at the end of the text",
       before + "\r\n\r\n#Server and port Configuration\r\n       ServerName a",
       before + BuildServerBlock("h2", "81")},
      {"marker after a single line end: the block the parse reads is replaced",
       "A\r\n#Server and port Configuration\r\n       ServerName a\r\n       Listen 1\r\n" + after,
       "A\r\n#Server and port Configuration\r\n       ServerName h2\r\n       Listen 81\r\n" + after},
      {"marker at the very start is no block",
       "#Server and port Configuration\r\n",
       "#Server and port Configuration\r\n" + BuildServerBlock("h2", "81")},
  };
  for (const auto& c : cases) {
    const std::string merged = MergeServerBlock(Cp(), c.text, "h2", "81");
    EXPECT_EQ(merged, c.expected) << c.what;
    EXPECT_EQ(MergeServerBlock(Cp(), merged, "h2", "81"), merged) << c.what << ": not idempotent";
    const ServerAddress a = ParseServerBlock(Cp(), merged);
    EXPECT_EQ(a.host.value_or("<none>"), "h2") << c.what;
    EXPECT_EQ(a.port.value_or("<none>"), "81") << c.what;
  }
}

TEST(ServerBlock, RunsWithDifferentAddressesLeaveOneBlock) {
  std::string conf = "ServerRoot \"C:/VELK\"\r\n";
  for (const char* port : {"8080", "82", "8000"}) conf = MergeServerBlock(Cp(), conf, "srv01", port);
  EXPECT_EQ(conf, "ServerRoot \"C:/VELK\"\r\n" + BuildServerBlock("srv01", "8000"));
}

TEST(ServerBlock, ParseTakesWhatTheBlockHolds) {
  struct Case {
    const char* what;
    std::string text;
    const char* host;  // nullptr: not found
    const char* port;
  } cases[] = {
      {"written block", "x" + kBlock8080, "srv01", "8080"},
      {"no block", "ServerName srv01\r\nListen 8080\r\n", nullptr, nullptr},
      {"marker at the start", kBlock8080.substr(4), nullptr, nullptr},
      {"single line end before the marker", "x\r\n#Server and port Configuration\r\n ServerName a\r\n Listen 1\r\n", "a", "1"},
      {"no ServerName line", "\r\n#Server and port Configuration\r\n       Listen 8080\r\n", nullptr, nullptr},
      {"no Listen line", "\r\n#Server and port Configuration\r\n       ServerName a\r\n\r\n", "a", nullptr},
      {"Listen before ServerName", "\r\n#Server and port Configuration\r\n Listen 1\r\n ServerName a\r\n", "a", nullptr},
      {"empty values count as found", "\r\n#Server and port Configuration\r\n ServerName \r\n Listen \r\n", "", ""},
      {"two spaces keep one", "\r\n#Server and port Configuration\r\n ServerName  a \t\r\n Listen 1\r\n", " a \t", "1"},
      {"no CR after the host", "\r\n#Server and port Configuration\r\n ServerName a", nullptr, nullptr},
      {"Listen beyond the block", "\r\n#Server and port Configuration\r\n ServerName a\r\n#\r\n Listen 1\r\n", "a", nullptr},
      {"first of two blocks", "x" + kBlock8080 + BuildServerBlock("b", "2"), "srv01", "8080"},
      {"Chinese host", "x" + BuildServerBlock("\xD6\xF7\xBB\xFA", "80"), "\xD6\xF7\xBB\xFA", "80"},
      // The marker's CR right after a lead byte belongs to that character.
      {"marker inside a two-byte character", "x\x81\r\n#Server and port Configuration\r\n ServerName a\r\n Listen 1\r\n", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const ServerAddress a = ParseServerBlock(Cp(), c.text);
    EXPECT_EQ(a.host.has_value(), c.host != nullptr) << c.what;
    if (c.host && a.host) {
      EXPECT_EQ(*a.host, c.host) << c.what;
    }
    EXPECT_EQ(a.port.has_value(), c.port != nullptr) << c.what;
    if (c.port && a.port) {
      EXPECT_EQ(*a.port, c.port) << c.what;
    }
  }
}

TEST(ServerBlock, ClientSettingsAndLoginUrl) {
  EXPECT_EQ(BuildClientSettings("srv01", "8080"), "[Setting]\r\nQuilloURL=http://srv01:8080/");
  EXPECT_EQ(BuildClientSettings("srv01", "80"), "[Setting]\r\nQuilloURL=http://srv01:80/");
  EXPECT_EQ(BuildClientSettings("srv01", ""), "[Setting]\r\nQuilloURL=http://srv01:/");
  struct Case {
    const char* port;
    const char* url;
  } cases[] = {{"80", "http://srv01"},        {"8080", "http://srv01:8080"},
               {"080", "http://srv01:080"},   {"80 ", "http://srv01:80 "},
               {"", "http://srv01:"}};
  for (const auto& c : cases) EXPECT_EQ(BuildLoginUrl("srv01", c.port), c.url) << c.port;
}
