#include "apply_address.h"

#include "address_files.h"
#include "server_block.h"

namespace koravi {

const char kMissingClientSettings[] = "\xD2\xC5\xCA\xA7" "config.ini\xCE\xC4\xBC\xFE\xA1\xA3";
const char kMissingWebConfig[] = "\xD2\xC5\xCA\xA7httpd.conf\xCE\xC4\xBC\xFE\xA1\xA3";
const char kConfigurationDone[] =
    "\xB7\xFE\xCE\xF1\xC5\xE4\xD6\xC3\xCD\xEA\xB3\xC9\xA3\xAC\xB5\xE3\xBB\xF7\xC8\xB7\xB6\xA8"
    "\xBD\xF8\xC8\xEB\xCF\xB5\xCD\xB3\xB5\xC7\xC2\xBD\xD2\xB3\xC3\xE6!";
const char kNoticeCaption[] = "\xCC\xE1\xCA\xBE";
const char kLineBreakRefused[] =
    "\xD6\xF7\xBB\xFA\xC3\xFB\xBB\xF2\xB6\xCB\xBF\xDA\xBA\xC5\xD6\xD0\xB2\xBB\xC4\xDC\xBA\xAC"
    "\xD3\xD0\xBB\xBB\xD0\xD0\xB7\xFB\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB\xA1\xA3";

std::string ApacheCommand(std::string_view root, std::string_view arguments) {
  std::string cmd = "\"";
  cmd.append(root).append("\\bin\\").append("apache.exe\" ").append(arguments);
  return cmd;
}

namespace {

// Tells the user about a file step that failed; true when the run goes on.
bool FileStepOk(ApplyWorld& world, FileStep step, const char* missing_text,
                std::string_view file_name) {
  if (step == FileStep::kDone) return true;
  world.AppMessage(step == FileStep::kCannotOpen ? std::string(missing_text)
                                                 : FileStepMessage(step, file_name));
  return false;
}

}  // namespace

ApplyEnd ApplyAddress(ApplyWorld& world, const std::string& host, const std::string& port) {
  // A line break in either field would add lines of its own to httpd.conf.
  if (HasLineBreak(host) || HasLineBreak(port)) {
    world.AppMessage(kLineBreakRefused);
    return ApplyEnd::kKeepDialog;
  }
  world.HideDialog();
  const std::string root = world.InstallRoot();
  if (!FileStepOk(world, world.WriteClientSettings(root, host, port), kMissingClientSettings,
                  "config.ini"))
    return ApplyEnd::kEndDialog;
  if (!FileStepOk(world, world.WriteServerBlock(root, host, port), kMissingWebConfig,
                  "httpd.conf"))
    return ApplyEnd::kEndDialog;
  world.StartHidden(ApacheCommand(root, "-n Koravi_OA -k install"));
  world.Wait(2000);
  world.StartHidden(ApacheCommand(root, "-n Koravi_OA -k restart"));
  world.StartHidden("net start Nesto_Server");
  const std::string url = BuildLoginUrl(host, port);
  world.CompletionMessage(kConfigurationDone, kNoticeCaption);
  world.OpenInBrowser(url);
  return ApplyEnd::kEndDialog;
}

}  // namespace koravi
