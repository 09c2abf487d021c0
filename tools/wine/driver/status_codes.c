/* Windows error numbers and the NT status codes that carry them: the model
 * answers in Windows errors, an IRP completes with a status, and the caller's
 * GetLastError turns the status back into the same number. */
#include "driver_double.h"

typedef struct StatusPair {
  uint32_t error;
  NTSTATUS status;
} StatusPair;

static const StatusPair kPairs[] = {
    {1, STATUS_INVALID_DEVICE_REQUEST},
    {2, STATUS_OBJECT_NAME_NOT_FOUND},
    {3, STATUS_OBJECT_PATH_NOT_FOUND},
    {5, STATUS_ACCESS_DENIED},
    {8, STATUS_NO_MEMORY},
    {50, STATUS_NOT_SUPPORTED},
    {87, STATUS_INVALID_PARAMETER},
    {122, STATUS_BUFFER_TOO_SMALL},
    {123, STATUS_OBJECT_NAME_INVALID},
};

/* A Windows error with no status of its own travels in the NT-Win32
 * facility, which the caller's side unpacks to the bare number. */
#define STATUS_FROM_WINDOWS_ERROR(e) ((NTSTATUS)(0x80070000u | ((e)&0xFFFFu)))

NTSTATUS StatusOfWindowsError(uint32_t error) {
  ULONG i;
  if (error == 0) return STATUS_SUCCESS;
  for (i = 0; i < sizeof kPairs / sizeof kPairs[0]; ++i) {
    if (kPairs[i].error == error) return kPairs[i].status;
  }
  return STATUS_FROM_WINDOWS_ERROR(error);
}

uint32_t WindowsErrorOfStatus(NTSTATUS status) {
  ULONG i;
  if (NT_SUCCESS(status)) return 0;
  for (i = 0; i < sizeof kPairs / sizeof kPairs[0]; ++i) {
    if (kPairs[i].status == status) return kPairs[i].error;
  }
  /* Anything else the file system says counts as a name it cannot open. */
  return 2;
}
