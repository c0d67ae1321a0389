// Stand-in for a program outside this system (the web server's apache.exe,
// the database server's mysqld-nt.exe, the web browser). It does nothing but
// record how it was started, one line per start:
//   <unix ms> TAB <own path> TAB <current directory> TAB <command line>
// The time is that of the process's creation (see record.h); the texts are
// in the ANSI code page, bytes as the program got them. The log is the file
// named by the environment variable KORAVI_RECORD (inherited from whoever
// started the program under test), else standin-record.log next to this
// program.
#include <windows.h>

#include <string>

#include "record.h"

int main() {
  char log[MAX_PATH * 2] = {};
  const DWORD n = GetEnvironmentVariableA("KORAVI_RECORD", log, sizeof log);
  const std::string log_path =
      (n > 0 && n < sizeof log) ? std::string(log, n) : standin::OwnDir() + "standin-record.log";

  char cwd[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const std::string line = std::to_string(standin::ProcessCreatedMs()) + "\t" + standin::OwnPath() + "\t" +
                           cwd + "\t" + GetCommandLineA();
  return standin::AppendLine(log_path, line) ? 0 : 1;
}
