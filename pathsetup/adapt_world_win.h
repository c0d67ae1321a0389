// The real world of pathsetup's adaptation run: the hidden startup dialog,
// the files below the installation root, my.ini and the shell.
#pragma once

#include <windows.h>

#include "adaptation.h"

namespace koravi {

class WindowsAdaptWorld final : public AdaptWorld {
 public:
  explicit WindowsAdaptWorld(HWND dialog) : dialog_(dialog) {}
  std::string InstallRoot() override;
  SettingsWrite WriteDatabaseSettings(const std::string& root, std::string* path) override;
  FileStep AdaptPhpSettings(const std::string& root) override;
  FileStep AdaptWebConfig(const std::string& root) override;
  void AppMessage(const std::string& text) override;
  void ShellStartHidden(const std::string& file, const std::string& parameters) override;
  void Wait(unsigned milliseconds) override;

 private:
  HWND dialog_;
};

}  // namespace koravi
