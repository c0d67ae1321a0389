#include "adapt_world_win.h"

#include <shellapi.h>

#include "adapt_files.h"
#include "dialog_shell.h"
#include "install_root.h"

namespace koravi {

std::string WindowsAdaptWorld::InstallRoot() { return FindInstallRoot(); }

SettingsWrite WindowsAdaptWorld::WriteDatabaseSettings(const std::string& root,
                                                       std::string* path) {
  return koravi::WriteDatabaseSettings(root, path);
}

FileStep WindowsAdaptWorld::AdaptPhpSettings(const std::string& root) {
  return koravi::AdaptPhpSettings(root);
}

FileStep WindowsAdaptWorld::AdaptWebConfig(const std::string& root) {
  return koravi::AdaptWebConfig(root);
}

void WindowsAdaptWorld::AppMessage(const std::string& text) { AppMessageBox(text.c_str(), MB_OK); }

void WindowsAdaptWorld::ShellStartHidden(const std::string& file, const std::string& parameters) {
  // Neither waited for nor checked.
  ShellExecuteA(dialog_, "open", file.c_str(), parameters.c_str(), nullptr, SW_HIDE);
}

void WindowsAdaptWorld::Wait(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace koravi
