// my.ini in the Windows directory, written through the C run-time's text
// mode stream so that every LF becomes CR LF.
#include <windows.h>

#include <cstdio>

#include "database_settings.h"

namespace koravi {

SettingsWrite WriteDatabaseSettings(const std::string& root, std::string* written_path) {
  // The Windows directory is asked for at its real length: no path is cut.
  std::string dir(MAX_PATH, '\0');
  UINT n = GetWindowsDirectoryA(&dir[0], static_cast<UINT>(dir.size()));
  if (n >= dir.size()) {
    dir.assign(n + 1, '\0');
    n = GetWindowsDirectoryA(&dir[0], static_cast<UINT>(dir.size()));
  }
  dir.resize(n < dir.size() ? n : 0);
  *written_path = dir + "\\my.ini";

  FILE* f = std::fopen(written_path->c_str(), "w");
  if (!f) return SettingsWrite::kCannotCreate;
  bool ok = true;
  for (const std::string& piece : DatabaseSettingsPieces(root))
    ok = std::fputs(piece.c_str(), f) >= 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  return ok ? SettingsWrite::kWritten : SettingsWrite::kWriteFailed;
}

}  // namespace koravi
