// The web application's address in its three text forms: the managed
// server block in httpd.conf, the messaging component's client settings,
// and the login URL. Pure functions; no file or window is touched here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codepage.h"

namespace koravi {

// Marker line of the server block, preceded by the line end(s) we write.
inline constexpr std::string_view kWritingMarker = "\r\n\r\n#Server and port Configuration";
inline constexpr std::string_view kReadingMarker = "\r\n#Server and port Configuration";

struct ServerAddress {
  std::optional<std::string> host;  // found, possibly empty
  std::optional<std::string> port;  // only ever found together with a host
};

// The address in the first server block of `text`, as far as it is found.
ServerAddress ParseServerBlock(const CodePage& cp, std::string_view text);

// The server block written for `host` and `port`, beginning with the
// writing marker.
std::string BuildServerBlock(std::string_view host, std::string_view port);

// `text` with its server block replaced, or with a block appended when it
// has none. The block replaced is the one ParseServerBlock reads.
std::string MergeServerBlock(const CodePage& cp, std::string_view text, std::string_view host,
                             std::string_view port);

// Nesto\config.ini: "[Setting]\r\nQuilloURL=http://host:port/".
std::string BuildClientSettings(std::string_view host, std::string_view port);

// "http://host", then ":port" unless the port is exactly "80".
std::string BuildLoginUrl(std::string_view host, std::string_view port);

}  // namespace koravi
