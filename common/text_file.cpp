#include "text_file.h"

#include <limits>

namespace koravi {

bool ReadWholeText(FileIo& file, std::string* text) {
  uint64_t length = 0;
  if (!file.GetLength(&length)) return false;
  if (length > std::numeric_limits<size_t>::max() / 2) return false;
  if (!file.Seek(0)) return false;
  std::string data(static_cast<size_t>(length), '\0');
  size_t done = 0;
  while (done < data.size()) {
    size_t got = 0;
    if (!file.Read(&data[done], data.size() - done, &got)) return false;
    if (got == 0) return false;  // the file shrank under us
    done += got;
  }
  *text = std::move(data);
  return true;
}

namespace {

bool WriteAt0(FileIo& file, const std::string& text) {
  return file.Seek(0) && file.Write(text.data(), text.size());
}

// Puts the old bytes back after a failure, closing the file in any case.
RewriteResult Restore(FileIo& file, const std::string& old_text) {
  const bool ok = WriteAt0(file, old_text) && file.SetLength(old_text.size()) && file.Flush();
  file.Close();
  return ok ? RewriteResult::kFailedOldKept : RewriteResult::kFailedDamaged;
}

}  // namespace

RewriteResult RewriteText(FileIo& file, const std::string& old_text, const std::string& new_text) {
  if (new_text.size() > old_text.size() && !file.SetLength(new_text.size()))
    return Restore(file, old_text);
  if (!WriteAt0(file, new_text)) return Restore(file, old_text);
  if (new_text.size() < old_text.size() && !file.SetLength(new_text.size()))
    return Restore(file, old_text);
  if (!file.Flush()) return Restore(file, old_text);
  return file.Close() ? RewriteResult::kDone : RewriteResult::kFailedNewKept;
}

}  // namespace koravi
