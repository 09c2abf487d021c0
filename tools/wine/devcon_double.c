/* devcon.exe, the test double: understands the two command lines the tool
 * hands the real device console,
 *   install "INF" ROOT\PhDskMnt     and     remove ROOT\PhDskMnt,
 * loads or unloads the driver double through the service manager, and
 * appends what it was given and what came of it to devcon.log in the current
 * directory: one line, the parameters as received, " -> ", the outcome. The
 * outcomes read as the simulated machine's launch records do. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define SERVICE_NAME "PhDskMnt"
#define DRIVER_FILE "\\drivers\\disk-adapter-double.sys"
#define HARDWARE_ID "ROOT\\PhDskMnt"
#define WORD_LIMIT 8

/* The parameters: the command line after the program's own name. */
static const char* Parameters(const char* line) {
  int quoted = 0;
  while (*line == ' ' || *line == '\t') ++line;
  for (; *line != 0; ++line) {
    if (*line == '"') quoted = !quoted;
    if (!quoted && (*line == ' ' || *line == '\t')) break;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

/* Blanks separate words, double quotes group and are dropped. */
static int SplitWords(const char* text, char words[][MAX_PATH], int limit) {
  int count = 0;
  int quoted = 0;
  int in_word = 0;
  size_t length = 0;
  for (;; ++text) {
    int end = *text == 0;
    int blank = !quoted && (*text == ' ' || *text == '\t');
    if ((end || blank) && in_word) {
      if (count < limit) words[count][length] = 0;
      ++count;
      in_word = 0;
      length = 0;
    }
    if (end) break;
    if (*text == '"') {
      quoted = !quoted;
      in_word = 1;
    } else if (!blank) {
      if (count < limit && length + 1 < MAX_PATH)
        words[count][length++] = *text;
      in_word = 1;
    }
  }
  return count;
}

static int IsRunning(SC_HANDLE service) {
  SERVICE_STATUS status;
  return QueryServiceStatus(service, &status) &&
         status.dwCurrentState != SERVICE_STOPPED;
}

static const char* Install(SC_HANDLE manager) {
  char path[MAX_PATH];
  SC_HANDLE service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
  BOOL started = FALSE;
  int tries;
  if (service != NULL && IsRunning(service)) {
    CloseServiceHandle(service);
    return "failed: driver already installed";
  }
  if (service == NULL) {
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof DRIVER_FILE > MAX_PATH) {
      return "failed: no system directory";
    }
    strcat(path, DRIVER_FILE);
    service = CreateServiceA(manager, SERVICE_NAME, SERVICE_NAME,
                             SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                             SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path,
                             NULL, NULL, NULL, NULL, NULL);
    if (service == NULL) return "failed: service not created";
  }
  /* Wine may still be taking down the host process of a driver that was
   * just stopped; a start in that moment fails and is worth repeating. */
  for (tries = 0; tries < 50 && !started; ++tries) {
    started = StartServiceA(service, 0, NULL);
    if (!started) Sleep(20);
  }
  CloseServiceHandle(service);
  return started ? "driver installed" : "failed: driver did not start";
}

static const char* Remove(SC_HANDLE manager) {
  SC_HANDLE service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
  SERVICE_STATUS status;
  int tries;
  if (service == NULL) return "failed: no matching device";
  if (!IsRunning(service)) {
    CloseServiceHandle(service);
    return "failed: no matching device";
  }
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  for (tries = 0; tries < 100 && IsRunning(service); ++tries) Sleep(20);
  /* The service stays registered, stopped, so a later install only starts
   * it again: a deleted service can linger until every handle is gone. */
  tries = IsRunning(service);
  CloseServiceHandle(service);
  return tries ? "failed: driver did not stop" : "driver removed";
}

static const char* Run(const char* parameters) {
  static char words[WORD_LIMIT][MAX_PATH];
  int count = SplitWords(parameters, words, WORD_LIMIT);
  const char* outcome = "failed: command not handled";
  int install = count == 3 && strcmp(words[0], "install") == 0 &&
                lstrcmpiA(words[2], HARDWARE_ID) == 0;
  int remove = count == 2 && strcmp(words[0], "remove") == 0 &&
               lstrcmpiA(words[1], HARDWARE_ID) == 0;
  if (install || remove) {
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL) return "failed: no service manager";
    outcome = install ? Install(manager) : Remove(manager);
    CloseServiceHandle(manager);
  }
  return outcome;
}

static void Record(const char* parameters, const char* outcome) {
  HANDLE log = CreateFileA("devcon.log", FILE_APPEND_DATA, FILE_SHARE_READ,
                           NULL, OPEN_ALWAYS, 0, NULL);
  DWORD written;
  if (log == INVALID_HANDLE_VALUE) return;
  WriteFile(log, parameters, (DWORD)strlen(parameters), &written, NULL);
  WriteFile(log, " -> ", 4, &written, NULL);
  WriteFile(log, outcome, (DWORD)strlen(outcome), &written, NULL);
  WriteFile(log, "\n", 1, &written, NULL);
  CloseHandle(log);
}

int main(void) {
  const char* parameters = Parameters(GetCommandLineA());
  const char* outcome = Run(parameters);
  Record(parameters, outcome);
  printf("%s\n", outcome);
  return strncmp(outcome, "failed", 6) == 0 ? 1 : 0;
}
