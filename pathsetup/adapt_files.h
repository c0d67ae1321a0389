// The two configuration files whose default root the adaptation replaces.
#pragma once

#include <string>
#include <string_view>

#include "config_rewrite.h"

namespace koravi {

inline constexpr std::string_view kPhpSettingsSuffix = "\\bin\\php.ini";
inline constexpr std::string_view kWebConfigPathSuffix = "\\conf\\httpd.conf";

// bin\php.ini: "C:\VELK" becomes `root` (upper-cased). Rewritten even when
// nothing was replaced.
FileStep AdaptPhpSettings(const std::string& root);

// conf\httpd.conf: "C:/VELK" becomes `root` in slash form.
FileStep AdaptWebConfig(const std::string& root);

}  // namespace koravi
