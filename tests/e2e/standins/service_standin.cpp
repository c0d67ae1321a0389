// Stand-in for a Windows service (the messaging service, the database
// service). Created in the test prefix with
//   sc create NAME binpath= "C:\...\service.exe C:\...\services.log"
// When started (net start NAME) it records
//   <unix ms> TAB started TAB <NAME> TAB <command line>
// in the log named by its first argument (else service-record.log next to
// this program), then reports itself stopped and ends, so that the same
// service can be started again. The time is that of the process's creation
// by the service manager (see record.h).
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "record.h"

namespace {

std::string g_log;
SERVICE_STATUS_HANDLE g_status = nullptr;

DWORD WINAPI Control(DWORD, DWORD, LPVOID, LPVOID) { return NO_ERROR; }

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = 0;
  status.dwWin32ExitCode = NO_ERROR;
  SetServiceStatus(g_status, &status);
}

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n - 1) : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  return out;
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  const std::wstring name = argc > 0 ? argv[0] : L"";
  g_status = RegisterServiceCtrlHandlerExW(name.c_str(), Control, nullptr);
  if (g_status == nullptr) return;
  Report(SERVICE_RUNNING);
  standin::AppendLine(g_log, std::to_string(standin::ProcessCreatedMs()) + "\tstarted\t" +
                                 Narrow(name.c_str()) + "\t" + GetCommandLineA());
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  g_log = (argv != nullptr && argc > 1) ? Narrow(argv[1]) : standin::OwnDir() + "service-record.log";
  wchar_t empty[] = L"";
  SERVICE_TABLE_ENTRYW table[] = {{empty, ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherW(table)) {
    // Started by hand rather than by the service manager: say so in the log.
    standin::AppendLine(g_log, std::to_string(standin::UnixMs()) + "\tnot-a-service\t\t" +
                                   GetCommandLineA());
    return 1;
  }
  return 0;
}
