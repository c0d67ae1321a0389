// Files on Windows: CreateFileA with OPEN_EXISTING and share mode 0.
#include <windows.h>

#include "text_file.h"

namespace koravi {
namespace {

class WinFile final : public FileIo {
 public:
  explicit WinFile(HANDLE h) : h_(h) {}
  ~WinFile() override { Close(); }

  bool GetLength(uint64_t* length) override {
    // Found by moving to the end and back, the position left where it was.
    LARGE_INTEGER zero{}, here{}, end{};
    if (!SetFilePointerEx(h_, zero, &here, FILE_CURRENT)) return false;
    if (!SetFilePointerEx(h_, zero, &end, FILE_END)) return false;
    if (!SetFilePointerEx(h_, here, nullptr, FILE_BEGIN)) return false;
    *length = static_cast<uint64_t>(end.QuadPart);
    return true;
  }
  bool Seek(uint64_t position) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) != 0;
  }
  bool Read(void* buffer, size_t size, size_t* got) override {
    DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(h_, buffer, chunk, &n, nullptr)) return false;
    *got = n;
    return true;
  }
  bool Write(const void* buffer, size_t size) override {
    const char* p = static_cast<const char*>(buffer);
    while (size > 0) {
      DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD n = 0;
      if (!WriteFile(h_, p, chunk, &n, nullptr) || n != chunk) return false;  // short: disk full
      p += n;
      size -= n;
    }
    return true;
  }
  bool SetLength(uint64_t length) override { return Seek(length) && SetEndOfFile(h_); }
  bool Flush() override { return FlushFileBuffers(h_) != 0; }
  bool Close() override {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

}  // namespace

std::unique_ptr<FileIo> OpenExistingFile(const std::string& path, OpenMode mode) {
  const DWORD access = mode == OpenMode::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  HANDLE h = CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  // A folder where a file should be is not a file that can be rewritten.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return nullptr;
  }
  return std::make_unique<WinFile>(h);
}

}  // namespace koravi
