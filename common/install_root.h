// The installation root: the parent of the folder that holds the running
// program. Every file of the package is addressed by appending a fixed
// suffix to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codepage.h"

namespace koravi {

// Fixed size of the buffers the tools compose their own paths in (the
// program's path, hostsetup's two file paths), terminating NUL included.
constexpr size_t kMaxPathBytes = 260;

// Cuts the text at its last one-byte backslash, twice: E:\office\tools\x.exe
// gives E:\office. A text without a backslash gives the empty text.
std::string RootFromExePath(const CodePage& cp, std::string_view exe_path);

// The root of the running program (Windows only).
std::string FindInstallRoot();

// root + suffix, unchanged.
std::string JoinRoot(std::string_view root, std::string_view suffix);

// root + suffix when it fits, with its terminating NUL, in `capacity` bytes;
// nothing otherwise (such a path is treated as a file that cannot be opened).
std::optional<std::string> JoinRootLimited(std::string_view root, std::string_view suffix,
                                           size_t capacity = kMaxPathBytes);

}  // namespace koravi
