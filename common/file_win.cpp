// Files on Windows: CreateFileA with OPEN_EXISTING and share mode 0.
#include <windows.h>

#include <cstdlib>

#include "text_file.h"

namespace koravi {
namespace {

// Fault injection for the tests of the programs: KORAVI_FAULT_CALL=n makes
// the n-th call (1-based) on a file opened for rewriting fail, as a full or
// failing disk would: a failing write stores half of its bytes first. Without
// the variable nothing ever fails on purpose.
class FaultPlan {
 public:
  FaultPlan() {
    char value[32];
    const DWORD n = GetEnvironmentVariableA("KORAVI_FAULT_CALL", value, sizeof value);
    if (n > 0 && n < sizeof value) target_ = atol(value);
  }
  bool FailsNow() { return target_ > 0 && ++calls_ == target_; }

 private:
  long target_ = 0;
  long calls_ = 0;
};

FaultPlan& Faults() {
  static FaultPlan plan;
  return plan;
}

class WinFile final : public FileIo {
 public:
  WinFile(HANDLE h, bool for_rewrite) : h_(h), for_rewrite_(for_rewrite) {}
  ~WinFile() override { Close(); }

  bool GetLength(uint64_t* length) override {
    if (Injected()) return false;
    // Found by moving to the end and back, the position left where it was.
    LARGE_INTEGER zero{}, here{}, end{};
    if (!SetFilePointerEx(h_, zero, &here, FILE_CURRENT)) return false;
    if (!SetFilePointerEx(h_, zero, &end, FILE_END)) return false;
    if (!SetFilePointerEx(h_, here, nullptr, FILE_BEGIN)) return false;
    *length = static_cast<uint64_t>(end.QuadPart);
    return true;
  }
  bool Seek(uint64_t position) override {
    if (Injected()) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) != 0;
  }
  bool Read(void* buffer, size_t size, size_t* got) override {
    if (Injected()) return false;
    DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(h_, buffer, chunk, &n, nullptr)) return false;
    *got = n;
    return true;
  }
  bool Write(const void* buffer, size_t size) override {
    const char* p = static_cast<const char*>(buffer);
    if (Injected()) {
      DWORD n = 0;
      WriteFile(h_, p, static_cast<DWORD>(size / 2), &n, nullptr);
      return false;
    }
    while (size > 0) {
      DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD n = 0;
      if (!WriteFile(h_, p, chunk, &n, nullptr) || n != chunk) return false;  // short: disk full
      p += n;
      size -= n;
    }
    return true;
  }
  bool SetLength(uint64_t length) override {
    if (Injected()) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) && SetEndOfFile(h_);
  }
  bool Flush() override { return !Injected() && FlushFileBuffers(h_) != 0; }
  bool Close() override {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    if (Injected()) {
      CloseHandle(h_);
      h_ = INVALID_HANDLE_VALUE;
      return false;
    }
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  bool Injected() {
    if (!for_rewrite_ || !Faults().FailsNow()) return false;
    SetLastError(ERROR_WRITE_FAULT);
    return true;
  }
  HANDLE h_;
  bool for_rewrite_;
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
  return std::make_unique<WinFile>(h, mode == OpenMode::kReadWrite);
}

}  // namespace koravi
