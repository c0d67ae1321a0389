// The order of hostsetup's apply run and pathsetup's adaptation run, and
// where each stops, against a world that records what is done to it.
#include <gtest/gtest.h>

#include <vector>

#include "adaptation.h"
#include "apply_address.h"

using namespace koravi;

namespace {

struct Recorder {
  std::vector<std::string> log;
  void Add(std::string s) { log.push_back(std::move(s)); }
};

class FakeApply : public ApplyWorld, public Recorder {
 public:
  FileStep settings = FileStep::kDone, block = FileStep::kDone;
  void HideDialog() override { Add("hide"); }
  std::string InstallRoot() override { return "E:\\my office"; }
  FileStep WriteClientSettings(const std::string& r, const std::string& h, const std::string& p) override {
    Add("config.ini " + r + " " + h + " " + p);
    return settings;
  }
  FileStep WriteServerBlock(const std::string& r, const std::string& h, const std::string& p) override {
    Add("httpd.conf " + r + " " + h + " " + p);
    return block;
  }
  void AppMessage(const std::string& t) override { Add("message " + t); }
  void StartHidden(const std::string& c) override { Add("run " + c); }
  void Wait(unsigned ms) override { Add("wait " + std::to_string(ms)); }
  void CompletionMessage(const std::string& t, const std::string& c) override {
    Add("done " + c + " " + t);
  }
  void OpenInBrowser(const std::string& u) override { Add("browse " + u); }
};

class FakeAdapt : public AdaptWorld, public Recorder {
 public:
  std::string root = "d:\\apps\\oa";
  SettingsWrite settings = SettingsWrite::kWritten;
  FileStep php = FileStep::kDone, web = FileStep::kDone;
  std::string InstallRoot() override { return root; }
  SettingsWrite WriteDatabaseSettings(const std::string& r, std::string* path) override {
    *path = "C:\\windows\\my.ini";
    Add("my.ini " + r);
    return settings;
  }
  FileStep AdaptPhpSettings(const std::string& r) override { Add("php.ini " + r); return php; }
  FileStep AdaptWebConfig(const std::string& r) override { Add("httpd.conf " + r); return web; }
  void AppMessage(const std::string& t) override { Add("message " + t); }
  void ShellStartHidden(const std::string& f, const std::string& p) override { Add("shell " + f + "|" + p); }
  void Wait(unsigned ms) override { Add("wait " + std::to_string(ms)); }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(ApplyAddress, RunsEveryStepInOrder) {
  FakeApply w;
  EXPECT_EQ(ApplyAddress(w, "srv01", "8080"), ApplyEnd::kEndDialog);
  EXPECT_EQ(w.log, (Log{
      "hide",
      "config.ini E:\\my office srv01 8080",
      "httpd.conf E:\\my office srv01 8080",
      "run \"E:\\my office\\bin\\apache.exe\" -n Koravi_OA -k install",
      "wait 2000",
      "run \"E:\\my office\\bin\\apache.exe\" -n Koravi_OA -k restart",
      "run net start Nesto_Server",
      std::string("done ") + kNoticeCaption + " " + kConfigurationDone,
      "browse http://srv01:8080",
  }));
  FakeApply port80;
  ApplyAddress(port80, "srv01", "80");
  EXPECT_EQ(port80.log.back(), "browse http://srv01");
}

TEST(ApplyAddress, StopsAtTheFirstFileThatFails) {
  struct Case {
    FileStep settings, block;
    Log tail;
  } cases[] = {
      {FileStep::kCannotOpen, FileStep::kDone,
       {"config.ini E:\\my office h p", std::string("message ") + kMissingClientSettings}},
      {FileStep::kDone, FileStep::kCannotOpen,
       {"httpd.conf E:\\my office h p", std::string("message ") + kMissingWebConfig}},
      {FileStep::kDone, FileStep::kFailedOldKept,
       {"httpd.conf E:\\my office h p",
        "message " + FileStepMessage(FileStep::kFailedOldKept, "httpd.conf")}},
  };
  for (const auto& c : cases) {
    FakeApply w;
    w.settings = c.settings;
    w.block = c.block;
    EXPECT_EQ(ApplyAddress(w, "h", "p"), ApplyEnd::kEndDialog);
    ASSERT_GE(w.log.size(), 2u);
    EXPECT_EQ(Log(w.log.end() - 2, w.log.end()), c.tail);
  }
}

TEST(ApplyAddress, RefusesLineBreaksBeforeHidingAnything) {
  for (const char* host : {"srv01\r\nListen 1", "srv01\n"}) {
    FakeApply w;
    EXPECT_EQ(ApplyAddress(w, host, "80"), ApplyEnd::kKeepDialog);
    EXPECT_EQ(w.log, (Log{std::string("message ") + kLineBreakRefused}));
  }
  FakeApply w;
  EXPECT_EQ(ApplyAddress(w, "", ""), ApplyEnd::kEndDialog);  // empty fields are not refused
  EXPECT_EQ(w.log.back(), "browse http://:");
}

TEST(RunAdaptation, RunsEveryStepWithTheUpperCasedRoot) {
  FakeAdapt w;
  EXPECT_TRUE(RunAdaptation(w));
  EXPECT_EQ(w.log, (Log{
      "my.ini D:\\APPS\\OA",
      "php.ini D:\\APPS\\OA",
      "httpd.conf D:\\APPS\\OA",
      "shell D:\\APPS\\OA\\mysql\\bin\\mysqld-nt.exe| --install MySQL_OA",
      "wait 3000",
      "shell net| start MySQL_OA",
  }));
}

TEST(RunAdaptation, StopsAtAConfigurationFileButNotAtMyIni) {
  FakeAdapt no_php;
  no_php.php = FileStep::kCannotOpen;
  EXPECT_FALSE(RunAdaptation(no_php));
  EXPECT_EQ(no_php.log.back(), std::string("message ") + kMissingPhpSettings);
  EXPECT_EQ(no_php.log.size(), 3u);  // my.ini, php.ini, message

  FakeAdapt no_web;
  no_web.web = FileStep::kCannotOpen;
  EXPECT_FALSE(RunAdaptation(no_web));
  EXPECT_EQ(no_web.log.back(), std::string("message ") + kMissingWebConfigPath);

  FakeAdapt no_ini;
  no_ini.settings = SettingsWrite::kCannotCreate;
  EXPECT_TRUE(RunAdaptation(no_ini));
  EXPECT_EQ(no_ini.log[1], "message " + DatabaseSettingsFailureMessage("C:\\windows\\my.ini"));
  EXPECT_EQ(no_ini.log.back(), "shell net| start MySQL_OA");
}
