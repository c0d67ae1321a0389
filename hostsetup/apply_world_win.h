// The real world of hostsetup's apply run: the dialog's window, the files
// below the installation root, WinExec and the shell.
#pragma once

#include <windows.h>

#include "apply_address.h"

namespace koravi {

class WindowsApplyWorld final : public ApplyWorld {
 public:
  explicit WindowsApplyWorld(HWND dialog) : dialog_(dialog) {}
  void HideDialog() override;
  std::string InstallRoot() override;
  FileStep WriteClientSettings(const std::string& root, const std::string& host,
                               const std::string& port) override;
  FileStep WriteServerBlock(const std::string& root, const std::string& host,
                            const std::string& port) override;
  void AppMessage(const std::string& text) override;
  void StartHidden(const std::string& command_line) override;
  void Wait(unsigned milliseconds) override;
  void CompletionMessage(const std::string& text, const std::string& caption) override;
  void OpenInBrowser(const std::string& url) override;

 private:
  HWND dialog_;
};

}  // namespace koravi
