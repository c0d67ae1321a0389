// The whole-file rewrite, on real files of this system and, for every call
// that can fail after the open, through a file that fails that call.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "config_rewrite.h"
#include "text_file.h"

using namespace koravi;

namespace {

std::string TempPath(const char* name) {
  return (::testing::TempDir() + "koravi_") + name;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Rewrite(const std::string& path, const std::string& new_text, std::string* old = nullptr) {
  auto file = OpenExistingFile(path, OpenMode::kReadWrite);
  if (!file) return "<no open>";
  std::string text;
  if (!ReadWholeText(*file, &text)) return "<no read>";
  if (old) *old = text;
  return RewriteText(*file, text, new_text) == RewriteResult::kDone ? "ok" : "<failed>";
}

}  // namespace

TEST(TextFile, RewritesInPlaceWhateverTheLengths) {
  const std::string path = TempPath("rewrite.txt");
  std::string big(300000, 'x');
  big[1000] = '\0';  // NUL bytes are kept, files longer than 131100 bytes read whole
  big[299999] = '\xFE';
  struct Case {
    const char* what;
    std::string before, after;
  } cases[] = {
      {"empty to text", "", "abc\r\n"},
      {"shorter leaves no tail", "0123456789", "abc"},
      {"unchanged", "same\r\nbytes", "same\r\nbytes"},
      {"to empty", "abc", ""},
      {"large with NUL grows", big, big + "tail"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(path, c.before);
    std::string old;
    EXPECT_EQ(Rewrite(path, c.after, &old), "ok") << c.what;
    EXPECT_EQ(old, c.before) << c.what;
    EXPECT_EQ(FileBytes(path), c.after) << c.what;
  }
  std::remove(path.c_str());
}

TEST(TextFile, OpensOnlyExistingFilesAndExclusively) {
  const std::string path = TempPath("exclusive.txt");
  std::remove(path.c_str());
  EXPECT_EQ(OpenExistingFile(path, OpenMode::kRead), nullptr);
  EXPECT_EQ(OpenExistingFile(path, OpenMode::kReadWrite), nullptr);
  EXPECT_EQ(FileBytes(path), "");  // nothing was created
  EXPECT_EQ(OpenExistingFile(::testing::TempDir(), OpenMode::kReadWrite), nullptr);  // a folder
  WriteFileBytes(path, "held");
  {
    auto holder = OpenExistingFile(path, OpenMode::kRead);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(OpenExistingFile(path, OpenMode::kRead), nullptr);
    EXPECT_EQ(OpenExistingFile(path, OpenMode::kReadWrite), nullptr);
  }
  EXPECT_NE(OpenExistingFile(path, OpenMode::kReadWrite), nullptr);
  std::remove(path.c_str());
}

namespace {

// A file in memory that fails its n-th call (0-based), as a disk would:
// a failing write stores part of what it was given first.
class FailingFile final : public FileIo {
 public:
  FailingFile(std::string bytes, int fail_at) : bytes_(std::move(bytes)), fail_at_(fail_at) {}
  bool GetLength(uint64_t* n) override { return Call() && (*n = bytes_.size(), true); }
  bool Seek(uint64_t p) override { return Call() && (pos_ = p, true); }
  bool Read(void* buf, size_t size, size_t* got) override {
    if (!Call()) return false;
    *got = std::min<size_t>(size, bytes_.size() - pos_);
    bytes_.copy(static_cast<char*>(buf), *got, pos_);
    pos_ += *got;
    return true;
  }
  bool Write(const void* buf, size_t size) override {
    const bool ok = Call();
    const size_t n = ok ? size : size / 2;
    if (pos_ + n > bytes_.size()) bytes_.resize(pos_ + n);
    bytes_.replace(pos_, n, static_cast<const char*>(buf), n);
    pos_ += n;
    return ok;
  }
  bool SetLength(uint64_t n) override { return Call() && (bytes_.resize(n), pos_ = n, true); }
  bool Flush() override { return Call(); }
  bool Close() override { closed_ = true; return Call(); }

  const std::string& bytes() const { return bytes_; }
  bool closed() const { return closed_; }
  int calls() const { return calls_; }

 private:
  bool Call() { return calls_++ != fail_at_; }
  std::string bytes_;
  size_t pos_ = 0;
  int fail_at_;
  int calls_ = 0;
  bool closed_ = false;
};

}  // namespace

TEST(TextFile, EveryFailingCallLeavesTheOldOrTheNewBytes) {
  const std::string old_text = "old line 1\r\nold line 2\r\n";
  const std::vector<std::string> new_texts = {"new", old_text + "appended\r\n", "", old_text};
  int injected = 0;
  for (const std::string& new_text : new_texts) {
    FailingFile clean(old_text, -1);
    std::string read;
    ASSERT_TRUE(ReadWholeText(clean, &read));
    ASSERT_EQ(RewriteText(clean, read, new_text), RewriteResult::kDone);
    ASSERT_EQ(clean.bytes(), new_text);
    const int total = clean.calls();
    for (int fail = 0; fail < total; ++fail, ++injected) {
      FailingFile f(old_text, fail);
      std::string text;
      if (!ReadWholeText(f, &text)) {
        EXPECT_EQ(f.bytes(), old_text);  // nothing written after a failed read
        continue;
      }
      const RewriteResult r = RewriteText(f, text, new_text);
      EXPECT_TRUE(f.closed());
      switch (r) {
        case RewriteResult::kDone: ADD_FAILURE() << "call " << fail << " failed unnoticed"; break;
        case RewriteResult::kFailedOldKept: EXPECT_EQ(f.bytes(), old_text) << fail; break;
        case RewriteResult::kFailedNewKept: EXPECT_EQ(f.bytes(), new_text) << fail; break;
        case RewriteResult::kFailedDamaged: ADD_FAILURE() << "call " << fail << " lost bytes"; break;
      }
    }
  }
  EXPECT_GT(injected, 20);
}

TEST(ConfigRewrite, TransformsExistingFilesOnly) {
  const std::string path = TempPath("config.ini");
  WriteFileBytes(path, "old");
  const auto upper = [](const std::string& t) { return t + "+new"; };
  EXPECT_EQ(RewriteConfigFile(path, upper), FileStep::kDone);
  EXPECT_EQ(FileBytes(path), "old+new");
  EXPECT_EQ(RewriteConfigFile("", upper), FileStep::kCannotOpen);  // path too long to compose
  std::remove(path.c_str());
  EXPECT_EQ(RewriteConfigFile(path, upper), FileStep::kCannotOpen);
  EXPECT_EQ(FileBytes(path), "");
  // Failures after the open name the file; the two the callers word
  // themselves give nothing.
  EXPECT_NE(FileStepMessage(FileStep::kFailedOldKept, "httpd.conf").find("httpd.conf"),
            std::string::npos);
  EXPECT_EQ(FileStepMessage(FileStep::kCannotOpen, "httpd.conf"), "");
}
