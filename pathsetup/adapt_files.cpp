#include "adapt_files.h"

#include "install_root.h"
#include "replace_root.h"
#include "text_walk.h"

namespace koravi {

FileStep AdaptPhpSettings(const std::string& root) {
  return RewriteConfigFile(JoinRoot(root, kPhpSettingsSuffix), [&](const std::string& text) {
    return ReplaceDefaultRoot(ActiveCodePage(), text, kDefaultRoot, root);
  });
}

FileStep AdaptWebConfig(const std::string& root) {
  const std::string slashed = SlashForm(ActiveCodePage(), root);
  return RewriteConfigFile(JoinRoot(root, kWebConfigPathSuffix), [&](const std::string& text) {
    return ReplaceDefaultRoot(ActiveCodePage(), text, kDefaultRootSlashed, slashed);
  });
}

}  // namespace koravi
