// The adaptation run of pathsetup, step by step, against the world it acts
// on. The startup dialog supplies the real world; the tests a recording one.
#pragma once

#include <string>

#include "config_rewrite.h"
#include "database_settings.h"

namespace koravi {

class AdaptWorld {
 public:
  virtual ~AdaptWorld() = default;
  virtual std::string InstallRoot() = 0;
  virtual SettingsWrite WriteDatabaseSettings(const std::string& root, std::string* path) = 0;
  virtual FileStep AdaptPhpSettings(const std::string& root) = 0;
  virtual FileStep AdaptWebConfig(const std::string& root) = 0;
  // The application message box (exclamation icon, program name caption).
  virtual void AppMessage(const std::string& text) = 0;
  // Hands a program to the shell ("open", hidden window), without waiting.
  virtual void ShellStartHidden(const std::string& file, const std::string& parameters) = 0;
  virtual void Wait(unsigned milliseconds) = 0;
};

// True when every step ran; false when the run stopped at a configuration
// file, after telling the user why.
bool RunAdaptation(AdaptWorld& world);

extern const char kMissingPhpSettings[];      // 遗失php.ini文件。
extern const char kMissingWebConfigPath[];    // 遗失httpd.conf文件。

}  // namespace koravi
