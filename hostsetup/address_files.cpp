#include "address_files.h"

#include "install_root.h"
#include "text_file.h"

namespace koravi {

namespace {
std::string PathBelow(const std::string& root, std::string_view suffix) {
  return JoinRootLimited(root, suffix).value_or(std::string());
}
}  // namespace

ServerAddress ReadAddressInEffect(const std::string& root) {
  const std::string path = PathBelow(root, kWebConfigSuffix);
  if (path.empty()) return {};
  std::unique_ptr<FileIo> file = OpenExistingFile(path, OpenMode::kRead);
  if (!file) return {};
  std::string text;
  const bool read = ReadWholeText(*file, &text);
  file->Close();
  return read ? ParseServerBlock(ActiveCodePage(), text) : ServerAddress{};
}

FileStep WriteClientSettings(const std::string& root, std::string_view host,
                             std::string_view port) {
  const std::string settings = BuildClientSettings(host, port);
  return RewriteConfigFile(PathBelow(root, kClientSettingsSuffix),
                           [&](const std::string&) { return settings; });
}

FileStep WriteServerBlock(const std::string& root, std::string_view host, std::string_view port) {
  return RewriteConfigFile(PathBelow(root, kWebConfigSuffix), [&](const std::string& text) {
    return MergeServerBlock(ActiveCodePage(), text, host, port);
  });
}

bool HasLineBreak(std::string_view field) {
  return field.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace koravi
