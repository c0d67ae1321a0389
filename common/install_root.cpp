#include "install_root.h"

#include "text_walk.h"

namespace koravi {

namespace {
std::string_view BeforeLastBackslash(const CodePage& cp, std::string_view text) {
  const size_t pos = FindLastChar(cp, text, '\\');
  return pos == kNotFound ? std::string_view() : text.substr(0, pos);
}
}  // namespace

std::string RootFromExePath(const CodePage& cp, std::string_view exe_path) {
  return std::string(BeforeLastBackslash(cp, BeforeLastBackslash(cp, exe_path)));
}

std::string JoinRoot(std::string_view root, std::string_view suffix) {
  std::string path;
  path.reserve(root.size() + suffix.size());
  path.append(root).append(suffix);
  return path;
}

std::optional<std::string> JoinRootLimited(std::string_view root, std::string_view suffix,
                                           size_t capacity) {
  if (root.size() + suffix.size() + 1 > capacity) return std::nullopt;
  return JoinRoot(root, suffix);
}

}  // namespace koravi
