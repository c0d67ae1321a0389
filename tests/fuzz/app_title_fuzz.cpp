// AppTitleFromPath against a slow walk under the native code page: the text
// before the last one-byte full stop, after the last one-byte backslash,
// slash or colon.
// Input: the program's path.
#include "app_title.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const fuzz::Page& page = fuzz::NativePage();

  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += fuzz::RefCharLength(page, path, i))
    if (fuzz::RefCharLength(page, path, i) == 1 && path[i] == '.') dot = i;
  const std::string_view stem = dot == std::string_view::npos ? path : path.substr(0, dot);
  size_t name = 0;
  for (size_t i = 0; i < stem.size(); i += fuzz::RefCharLength(page, stem, i)) {
    const char c = stem[i];
    if (fuzz::RefCharLength(page, stem, i) == 1 && (c == '\\' || c == '/' || c == ':'))
      name = i + 1;
  }

  const std::string title = koravi::AppTitleFromPath(path);
  FUZZ_CHECK(title == stem.substr(name));
  // The title is a piece of the path that holds no separator of its own.
  for (size_t i = 0; i < title.size(); i += fuzz::RefCharLength(page, title, i))
    if (fuzz::RefCharLength(page, title, i) == 1)
      FUZZ_CHECK(title[i] != '\\' && title[i] != '/' && title[i] != ':');
  return 0;
}
