// The two files hostsetup writes the address into, below the installation
// root. Their paths are composed within the fixed path length; a root too
// long for that counts as a missing file.
#pragma once

#include <string>
#include <string_view>

#include "config_rewrite.h"
#include "server_block.h"

namespace koravi {

inline constexpr std::string_view kClientSettingsSuffix = "\\Nesto\\config.ini";
inline constexpr std::string_view kWebConfigSuffix = "\\conf\\httpd.conf";

// The address in effect, from the server block of httpd.conf. Nothing when
// the file cannot be opened or read.
ServerAddress ReadAddressInEffect(const std::string& root);

// Nesto\config.ini gets the client settings text in place of all it held.
FileStep WriteClientSettings(const std::string& root, std::string_view host, std::string_view port);

// conf\httpd.conf gets its server block replaced or appended.
FileStep WriteServerBlock(const std::string& root, std::string_view host, std::string_view port);

// A host or port that would break a line of httpd.conf or config.ini.
bool HasLineBreak(std::string_view field);

}  // namespace koravi
