// RootFromExePath cuts the path at its last one-byte backslash, twice; a
// trail byte 0x5C is never such a backslash. JoinRootLimited refuses
// exactly the paths that do not fit their buffer with the NUL.
// Input: the program's path.
#include "fuzz_support.h"
#include "install_root.h"

using fuzz::Page;

namespace {

std::string_view RefBeforeLastBackslash(const Page& page, std::string_view text) {
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += fuzz::RefCharLength(page, text, i))
    if (fuzz::RefCharLength(page, text, i) == 1 && text[i] == '\\') cut = i;
  return cut == std::string_view::npos ? std::string_view() : text.substr(0, cut);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  for (const Page& page : fuzz::Pages()) {
    const std::string root = koravi::RootFromExePath(*page.cp, path);
    FUZZ_CHECK(root == RefBeforeLastBackslash(page, RefBeforeLastBackslash(page, path)));
    FUZZ_CHECK(path.substr(0, root.size()) == root);

    for (std::string_view suffix : {"\\conf\\httpd.conf", "\\Nesto\\config.ini", ""}) {
      FUZZ_CHECK(koravi::JoinRoot(root, suffix) == root + std::string(suffix));
      for (size_t capacity : {koravi::kMaxPathBytes, root.size() + suffix.size(),
                              root.size() + suffix.size() + 1}) {
        const auto joined = koravi::JoinRootLimited(root, suffix, capacity);
        FUZZ_CHECK(joined.has_value() == (root.size() + suffix.size() + 1 <= capacity));
        if (joined) FUZZ_CHECK(*joined == root + std::string(suffix));
      }
    }
  }
  return 0;
}
