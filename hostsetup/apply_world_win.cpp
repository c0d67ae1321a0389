#include "apply_world_win.h"

#include <shellapi.h>

#include "address_files.h"
#include "dialog_shell.h"
#include "install_root.h"

namespace koravi {

void WindowsApplyWorld::HideDialog() { ShowWindow(dialog_, SW_HIDE); }

std::string WindowsApplyWorld::InstallRoot() { return FindInstallRoot(); }

FileStep WindowsApplyWorld::WriteClientSettings(const std::string& root, const std::string& host,
                                                const std::string& port) {
  return koravi::WriteClientSettings(root, host, port);
}

FileStep WindowsApplyWorld::WriteServerBlock(const std::string& root, const std::string& host,
                                             const std::string& port) {
  return koravi::WriteServerBlock(root, host, port);
}

void WindowsApplyWorld::AppMessage(const std::string& text) { AppMessageBox(text.c_str(), MB_OK); }

void WindowsApplyWorld::StartHidden(const std::string& command_line) {
  WinExec(command_line.c_str(), SW_HIDE);  // neither waited for nor checked
}

void WindowsApplyWorld::Wait(unsigned milliseconds) { Sleep(milliseconds); }

void WindowsApplyWorld::CompletionMessage(const std::string& text, const std::string& caption) {
  MessageBoxA(dialog_, text.c_str(), caption.c_str(), MB_OK);
}

void WindowsApplyWorld::OpenInBrowser(const std::string& url) {
  ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace koravi
