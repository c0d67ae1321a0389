// Shared by the stand-ins: appends one record line to a log file.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Wall-clock time in milliseconds since 1970, as Python's time.time() * 1000.
inline long long UnixMs() {
  using Precise = VOID(WINAPI*)(LPFILETIME);
  const Precise precise = reinterpret_cast<Precise>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME ft;
  if (precise != nullptr) {
    precise(&ft);
  } else {
    GetSystemTimeAsFileTime(&ft);
  }
  const unsigned long long t =
      (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>((t - 116444736000000000ULL) / 10000ULL);
}

// When this process was created, in the same scale: the moment its starter
// asked for it, before the new process has loaded. Records carry this time, so
// that the gaps between starts are those of the program that started them,
// without the varying time a new process takes to come up.
inline long long ProcessCreatedMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return UnixMs();
  const unsigned long long t =
      (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  return static_cast<long long>((t - 116444736000000000ULL) / 10000ULL);
}

inline std::string OwnPath() {
  char path[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, n);
}

// The directory of this program, with a trailing backslash.
inline std::string OwnDir() {
  const std::string path = OwnPath();
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Appends `line` plus CR LF in one write. Several stand-ins may write to the
// same log at once: a sharing conflict is retried for a while.
inline bool AppendLine(const std::string& log, const std::string& line) {
  const std::string bytes = line + "\r\n";
  for (int attempt = 0; attempt < 200; ++attempt) {
    const HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                nullptr);
      CloseHandle(file);
      return ok && written == bytes.size();
    }
    Sleep(10);
  }
  return false;
}

}  // namespace standin
