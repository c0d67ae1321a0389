#include "adaptation.h"

#include "install_root.h"
#include "text_walk.h"

namespace koravi {

const char kMissingPhpSettings[] = "\xD2\xC5\xCA\xA7php.ini\xCE\xC4\xBC\xFE\xA1\xA3";
const char kMissingWebConfigPath[] = "\xD2\xC5\xCA\xA7httpd.conf\xCE\xC4\xBC\xFE\xA1\xA3";

namespace {

bool FileStepOk(AdaptWorld& world, FileStep step, const char* missing_text,
                const char* file_name) {
  if (step == FileStep::kDone) return true;
  world.AppMessage(step == FileStep::kCannotOpen ? std::string(missing_text)
                                                 : FileStepMessage(step, file_name));
  return false;
}

}  // namespace

bool RunAdaptation(AdaptWorld& world) {
  const std::string root = UpperCase(ActiveCodePage(), world.InstallRoot());

  std::string settings_path;
  if (world.WriteDatabaseSettings(root, &settings_path) != SettingsWrite::kWritten)
    world.AppMessage(DatabaseSettingsFailureMessage(settings_path));  // and go on

  if (!FileStepOk(world, world.AdaptPhpSettings(root), kMissingPhpSettings, "php.ini"))
    return false;
  if (!FileStepOk(world, world.AdaptWebConfig(root), kMissingWebConfigPath, "httpd.conf"))
    return false;

  world.ShellStartHidden(JoinRoot(root, "\\mysql\\bin\\mysqld-nt.exe"), " --install MySQL_OA");
  world.Wait(3000);
  world.ShellStartHidden("net", " start MySQL_OA");
  return true;
}

}  // namespace koravi
