#include "app_title.h"

#include "codepage.h"
#include "text_walk.h"

namespace koravi {

std::string AppTitleFromPath(std::string_view exe_path) {
  const CodePage& cp = ActiveCodePage();
  size_t dot = kNotFound;
  size_t name = 0;
  for (size_t i = 0; i < exe_path.size(); i += CharLength(cp, exe_path, i)) {
    const char c = exe_path[i];
    if (c == '.') dot = i;
  }
  std::string_view stem = dot == kNotFound ? exe_path : exe_path.substr(0, dot);
  for (size_t i = 0; i < stem.size(); i += CharLength(cp, stem, i)) {
    const char c = stem[i];
    if (c == '\\' || c == '/' || c == ':') name = i + 1;
  }
  return std::string(stem.substr(name));
}

}  // namespace koravi
