// One configuration file rewritten in place: open it for exclusive use, read
// it whole, transform the text, write it back. What can go wrong is told back
// to the caller, which reports it to the user.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace koravi {

enum class FileStep {
  kDone,
  kCannotOpen,     // missing, held open by another program, not writable...
  kReadFailed,     // nothing was written
  kFailedOldKept,  // a write failed; the old bytes were put back
  kFailedNewKept,  // the new text is in place, but the file did not close cleanly
  kFailedDamaged,  // a write failed and the old bytes could not be put back
};

using TextTransform = std::function<std::string(const std::string&)>;

// `path` is empty when it could not be composed (too long): such a file
// counts as one that cannot be opened.
FileStep RewriteConfigFile(const std::string& path, const TextTransform& transform);

// The user's message for a failure after the file was opened, naming the
// file ("httpd.conf"); empty for kDone and kCannotOpen, which the callers
// word themselves. GBK text.
std::string FileStepMessage(FileStep step, std::string_view file_name);

}  // namespace koravi
