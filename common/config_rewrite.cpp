#include "config_rewrite.h"

#include "text_file.h"

namespace koravi {

FileStep RewriteConfigFile(const std::string& path, const TextTransform& transform) {
  if (path.empty()) return FileStep::kCannotOpen;
  std::unique_ptr<FileIo> file = OpenExistingFile(path, OpenMode::kReadWrite);
  if (!file) return FileStep::kCannotOpen;
  std::string old_text;
  if (!ReadWholeText(*file, &old_text)) {
    file->Close();
    return FileStep::kReadFailed;
  }
  switch (RewriteText(*file, old_text, transform(old_text))) {
    case RewriteResult::kDone: return FileStep::kDone;
    case RewriteResult::kFailedOldKept: return FileStep::kFailedOldKept;
    case RewriteResult::kFailedNewKept: return FileStep::kFailedNewKept;
    case RewriteResult::kFailedDamaged: break;
  }
  return FileStep::kFailedDamaged;
}

std::string FileStepMessage(FileStep step, std::string_view file_name) {
  const std::string name(file_name);
  switch (step) {
    case FileStep::kReadFailed:
      // 读取X文件失败，文件未作任何修改。
      return "\xB6\xC1\xC8\xA1" + name + "\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xAC"
             "\xCE\xC4\xBC\xFE\xCE\xB4\xD7\xF7\xC8\xCE\xBA\xCE\xD0\xDE\xB8\xC4\xA1\xA3";
    case FileStep::kFailedOldKept:
      // 写入X文件失败，文件已恢复原样。
      return "\xD0\xB4\xC8\xEB" + name + "\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xAC"
             "\xCE\xC4\xBC\xFE\xD2\xD1\xBB\xD6\xB8\xB4\xD4\xAD\xD1\xF9\xA1\xA3";
    case FileStep::kFailedNewKept:
      // X文件已写入，但关闭文件时出错。
      return name + "\xCE\xC4\xBC\xFE\xD2\xD1\xD0\xB4\xC8\xEB\xA3\xAC\xB5\xAB"
             "\xB9\xD8\xB1\xD5\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED\xA1\xA3";
    case FileStep::kFailedDamaged:
      // 写入X文件失败，且无法恢复原内容，请检查该文件。
      return "\xD0\xB4\xC8\xEB" + name + "\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xAC"
             "\xC7\xD2\xCE\xDE\xB7\xA8\xBB\xD6\xB8\xB4\xD4\xAD\xC4\xDA\xC8\xDD\xA3\xAC"
             "\xC7\xEB\xBC\xEC\xB2\xE9\xB8\xC3\xCE\xC4\xBC\xFE\xA1\xA3";
    case FileStep::kDone:
    case FileStep::kCannotOpen:
      break;
  }
  return std::string();
}

}  // namespace koravi
