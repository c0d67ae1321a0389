// The application's title when it defines none: the program's file name
// without its extension.
#pragma once

#include <string>
#include <string_view>

namespace koravi {

// Cuts `exe_path` at its last full stop and keeps what follows the last
// backslash, slash or colon: E:\office\tools\setup2.exe gives "setup2".
std::string AppTitleFromPath(std::string_view exe_path);

}  // namespace koravi
