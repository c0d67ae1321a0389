// Files on POSIX systems, for the native build of the core and its tests.
// Exclusive use is approximated with a non-blocking flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text_file.h"

namespace koravi {
namespace {

class PosixFile final : public FileIo {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { Close(); }

  bool GetLength(uint64_t* length) override {
    struct stat st;
    if (fstat(fd_, &st) != 0) return false;
    *length = static_cast<uint64_t>(st.st_size);
    return true;
  }
  bool Seek(uint64_t position) override {
    return lseek(fd_, static_cast<off_t>(position), SEEK_SET) >= 0;
  }
  bool Read(void* buffer, size_t size, size_t* got) override {
    ssize_t n = read(fd_, buffer, size);
    if (n < 0) return false;
    *got = static_cast<size_t>(n);
    return true;
  }
  bool Write(const void* buffer, size_t size) override {
    const char* p = static_cast<const char*>(buffer);
    while (size > 0) {
      ssize_t n = write(fd_, p, size);
      if (n <= 0) return false;
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }
  bool SetLength(uint64_t length) override {
    return ftruncate(fd_, static_cast<off_t>(length)) == 0 && Seek(length);
  }
  bool Flush() override { return fsync(fd_) == 0; }
  bool Close() override {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FileIo> OpenExistingFile(const std::string& path, OpenMode mode) {
  int fd = open(path.c_str(), mode == OpenMode::kRead ? O_RDONLY : O_RDWR);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd);
}

}  // namespace koravi
