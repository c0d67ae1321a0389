// hostsetup's and pathsetup's file steps on a real folder tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "address_files.h"
#include "adapt_files.h"

using namespace koravi;
namespace fs = std::filesystem;

namespace {

#ifdef KORAVI_ON_WINDOWS
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

// Suffixes are written with backslashes; natively the tree uses slashes.
std::string Native(std::string path) {
  for (char& c : path)
    if (c == '\\') c = kSep;
  return path;
}

class Tree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = ::testing::TempDir() + "koravi_tree_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(root_);
    for (const char* d : {"conf", "bin", "Nesto"}) fs::create_directories(root_ + kSep + d);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Put(const char* rel, const std::string& bytes) {
    std::ofstream(Native(root_ + rel), std::ios::binary) << bytes;
  }
  std::string Get(const char* rel) {
    std::ifstream in(Native(root_ + rel), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The root as the programs compose it: suffixes with backslashes are
  // appended to it, so natively the backslash must name the separator.
  std::string Root() { return root_; }

  std::string root_;
};

}  // namespace

#ifdef KORAVI_ON_WINDOWS
TEST_F(Tree, HostsetupWritesBothFilesAndReadsTheBlockBack) {
  Put("\\Nesto\\config.ini", "[Setting]\r\nQuilloURL=http://old:80/\r\nmore\r\n");
  Put("\\conf\\httpd.conf", "Listen 80\r\n");
  EXPECT_FALSE(ReadAddressInEffect(Root()).host.has_value());
  EXPECT_EQ(WriteClientSettings(Root(), "srv01", "8080"), FileStep::kDone);
  EXPECT_EQ(WriteServerBlock(Root(), "srv01", "8080"), FileStep::kDone);
  EXPECT_EQ(Get("\\Nesto\\config.ini"), "[Setting]\r\nQuilloURL=http://srv01:8080/");
  EXPECT_EQ(Get("\\conf\\httpd.conf"), "Listen 80\r\n" + BuildServerBlock("srv01", "8080"));
  const ServerAddress a = ReadAddressInEffect(Root());
  EXPECT_EQ(a.host.value_or("-"), "srv01");
  EXPECT_EQ(a.port.value_or("-"), "8080");
}

TEST_F(Tree, MissingFilesAndRootsTooLongCannotBeOpened) {
  EXPECT_EQ(WriteClientSettings(Root(), "h", "1"), FileStep::kCannotOpen);
  EXPECT_EQ(WriteServerBlock(Root(), "h", "1"), FileStep::kCannotOpen);
  EXPECT_EQ(AdaptPhpSettings(Root()), FileStep::kCannotOpen);
  EXPECT_TRUE(fs::is_empty(root_ + "\\conf"));  // nothing created
  const std::string long_root = "C:\\" + std::string(250, 'r');
  EXPECT_EQ(WriteServerBlock(long_root, "h", "1"), FileStep::kCannotOpen);
  EXPECT_FALSE(ReadAddressInEffect(long_root).host.has_value());
}

TEST_F(Tree, PathsetupReplacesEachFilesOwnForm) {
  Put("\\bin\\php.ini", "a=\"C:\\VELK\\php\"\r\nb=C:/VELK\r\nc=c:\\velk\r\n");
  Put("\\conf\\httpd.conf", "ServerRoot \"C:/VELK\"\r\nX C:\\VELK\r\n");
  const std::string root = Root();
  const std::string slashed = [&] { std::string s = root; for (char& c : s) if (c == '\\') c = '/'; return s; }();
  EXPECT_EQ(AdaptPhpSettings(root), FileStep::kDone);
  EXPECT_EQ(AdaptWebConfig(root), FileStep::kDone);
  EXPECT_EQ(Get("\\bin\\php.ini"), "a=\"" + root + "\\php\"\r\nb=C:/VELK\r\nc=c:\\velk\r\n");
  EXPECT_EQ(Get("\\conf\\httpd.conf"), "ServerRoot \"" + slashed + "\"\r\nX C:\\VELK\r\n");
}
#endif

TEST(AddressFields, LineBreaksAreRefused) {
  EXPECT_FALSE(HasLineBreak("srv01"));
  EXPECT_FALSE(HasLineBreak(""));
  EXPECT_TRUE(HasLineBreak("srv01\r\nListen 1"));
  EXPECT_TRUE(HasLineBreak("80\n"));
  EXPECT_TRUE(HasLineBreak(std::string_view("8\0", 2)));
}
