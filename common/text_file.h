// Reading a configuration file whole and rewriting it in place, in the same
// open file. No temporary file, no rename, no backup: so the rewrite takes
// care that a failing call never leaves the file holding anything but its
// old bytes or its new bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace koravi {

// An open file. Every call returns false on failure.
class FileIo {
 public:
  virtual ~FileIo() = default;
  virtual bool GetLength(uint64_t* length) = 0;
  virtual bool Seek(uint64_t position) = 0;
  // Reads up to `size` bytes at the current position; *got tells how many.
  virtual bool Read(void* buffer, size_t size, size_t* got) = 0;
  // Writes all `size` bytes at the current position; fewer is a failure.
  virtual bool Write(const void* buffer, size_t size) = 0;
  // Ends the file at `length`, cutting or extending it.
  virtual bool SetLength(uint64_t length) = 0;
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

enum class OpenMode { kRead, kReadWrite };

// Opens an existing file for exclusive use: nobody else may read, write or
// delete it while it is open, and a file that another program holds open
// cannot be opened. Never creates or truncates. Null when it cannot be opened.
std::unique_ptr<FileIo> OpenExistingFile(const std::string& path, OpenMode mode);

// Reads the whole file from its start, whatever its length; NUL bytes are
// kept. The position is left at the end of what was read.
bool ReadWholeText(FileIo& file, std::string* text);

enum class RewriteResult {
  kDone,            // the file holds the new text and is closed
  kFailedOldKept,   // a call failed; the old bytes were put back
  kFailedNewKept,   // the new text is in place, but closing failed
  kFailedDamaged,   // a call failed and the old bytes could not be put back
};

// Replaces the content of `file` (open read-write, `old_text` being what
// ReadWholeText gave) with `new_text`, then closes it. A longer text grows
// the file before it is written and a shorter one shrinks it only after,
// so that a failure at any point can put the old bytes back.
RewriteResult RewriteText(FileIo& file, const std::string& old_text, const std::string& new_text);

}  // namespace koravi
