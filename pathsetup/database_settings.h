// my.ini, the database server's settings, in the Windows directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace koravi {

// The pieces written to my.ini for `root`, in the order they are written, as
// given to a text-mode stream (each LF becomes CR LF in the file).
std::vector<std::string> DatabaseSettingsPieces(std::string_view root);

// The bytes my.ini holds afterwards: the pieces with every LF as CR LF.
std::string DatabaseSettingsFileBytes(std::string_view root);

}  // namespace koravi

namespace koravi {

enum class SettingsWrite { kWritten, kCannotCreate, kWriteFailed };

// Writes my.ini into the Windows directory for `root` (already upper-cased),
// created or replaced whole, in text mode. `written_path` receives the path.
// Windows only.
SettingsWrite WriteDatabaseSettings(const std::string& root, std::string* written_path);

// The user's message when my.ini could not be written. GBK text.
std::string DatabaseSettingsFailureMessage(const std::string& path);

}  // namespace koravi
