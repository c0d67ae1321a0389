// Relocating the package's default root in its configuration texts.
#pragma once

#include <string>
#include <string_view>

#include "codepage.h"

namespace koravi {

// The root the package is built for, as PHP's settings and Apache's
// configuration write it.
inline constexpr std::string_view kDefaultRoot = "C:\\VELK";
inline constexpr std::string_view kDefaultRootSlashed = "C:/VELK";

// Replaces every occurrence of `from` by `to`, left to right, without
// overlap, at character boundaries, case-sensitively; the inserted text is
// not searched again.
//
// One exception keeps a second run from growing paths a first run already
// adapted: when `to` is longer than `from` and begins with it (a root such as
// C:\VELK2 or C:\VELK\SUB), an occurrence where the text already reads `to`,
// followed by a character that cannot continue a folder name or by the end
// of the text, is left alone.
std::string ReplaceDefaultRoot(const CodePage& cp, std::string_view text, std::string_view from,
                               std::string_view to);

}  // namespace koravi
