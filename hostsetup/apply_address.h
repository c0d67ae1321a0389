// What OK does in hostsetup, step by step, against the world it acts on.
// The dialog supplies the real world (windows, files, processes); the tests
// supply a recording one.
#pragma once

#include <string>
#include <string_view>

#include "config_rewrite.h"

namespace koravi {

class ApplyWorld {
 public:
  virtual ~ApplyWorld() = default;
  virtual void HideDialog() = 0;
  virtual std::string InstallRoot() = 0;
  virtual FileStep WriteClientSettings(const std::string& root, const std::string& host,
                                       const std::string& port) = 0;
  virtual FileStep WriteServerBlock(const std::string& root, const std::string& host,
                                    const std::string& port) = 0;
  // The application message box (exclamation icon, program name caption).
  virtual void AppMessage(const std::string& text) = 0;
  // Starts a command line hidden, without waiting for it.
  virtual void StartHidden(const std::string& command_line) = 0;
  virtual void Wait(unsigned milliseconds) = 0;
  // The completion box: the given text, caption "提示", OK, no icon.
  virtual void CompletionMessage(const std::string& text, const std::string& caption) = 0;
  virtual void OpenInBrowser(const std::string& url) = 0;
};

enum class ApplyEnd {
  kKeepDialog,  // the fields were refused; the dialog stays open to correct them
  kEndDialog,   // the run is over, successful or not; the tool ends
};

ApplyEnd ApplyAddress(ApplyWorld& world, const std::string& host, const std::string& port);

// root\bin\apache.exe with the given service arguments; the program's path
// is quoted so that a root with a space cannot start another program.
std::string ApacheCommand(std::string_view root, std::string_view arguments);

// GBK texts of the run.
extern const char kMissingClientSettings[];  // 遗失config.ini文件。
extern const char kMissingWebConfig[];       // 遗失httpd.conf文件。
extern const char kConfigurationDone[];      // 服务配置完成，点击确定进入系统登陆页面!
extern const char kNoticeCaption[];          // 提示
extern const char kLineBreakRefused[];       // 主机名或端口号中不能含有换行符，请重新输入。

}  // namespace koravi
