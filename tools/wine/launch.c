/* launch.exe PROGRAM LINE-FILE: starts PROGRAM with the exact command line
 * held in LINE-FILE (its bytes up to the end of the file or the first line
 * end), waits for it and ends with its exit code. Wine rebuilds the command
 * line of a program it starts from the argument vector, so a test that needs
 * a particular raw line goes through here. The child writes straight to this
 * program's standard handles, so its bytes come through untouched. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define LINE_LIMIT 32767

static int Fail(const char* what) {
  fprintf(stderr, "launch: %s failed: %lu\n", what, GetLastError());
  return 125;
}

static int ReadLine(const char* path, char* line, DWORD size) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL,
                            OPEN_EXISTING, 0, NULL);
  DWORD length = 0;
  BOOL ok;
  if (file == INVALID_HANDLE_VALUE) return 0;
  ok = ReadFile(file, line, size - 1, &length, NULL);
  CloseHandle(file);
  if (!ok) return 0;
  line[length] = 0;
  line[strcspn(line, "\r\n")] = 0;
  return 1;
}

int main(int argc, char** argv) {
  static char line[LINE_LIMIT + 1];
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  DWORD exit_code = 0;
  if (argc != 3) {
    fputs("usage: launch.exe PROGRAM LINE-FILE\n", stderr);
    return 125;
  }
  if (!ReadLine(argv[2], line, sizeof line)) return Fail("reading the line");

  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  if (!CreateProcessA(argv[1], line, NULL, NULL, TRUE, 0, NULL, NULL, &startup,
                      &process)) {
    return Fail("CreateProcessA");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  if (!GetExitCodeProcess(process.hProcess, &exit_code)) exit_code = 126;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return (int)exit_code;
}
