#include <windows.h>

#include "install_root.h"

namespace koravi {

std::string FindInstallRoot() {
  char path[kMaxPathBytes];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n >= sizeof path) n = sizeof path - 1;  // cut off: keep what fits
  return RootFromExePath(ActiveCodePage(), std::string_view(path, n));
}

}  // namespace koravi
