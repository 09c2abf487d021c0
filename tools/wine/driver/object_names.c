/* Named device objects, their DOS names and object directories. */
#include "driver_double.h"

void FormatName(WCHAR* text, ULONG capacity, const WCHAR* prefix, ULONG number,
                const WCHAR* suffix) {
  WCHAR digits[11];
  ULONG count = 0;
  ULONG at = 0;
  do {
    digits[count++] = (WCHAR)(L'0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (*prefix != 0 && at + 1 < capacity) text[at++] = *prefix++;
  while (count > 0 && at + 1 < capacity) text[at++] = digits[--count];
  while (*suffix != 0 && at + 1 < capacity) text[at++] = *suffix++;
  text[at] = 0;
}

static void CopyName(WCHAR* text, ULONG capacity, const WCHAR* name) {
  ULONG at = 0;
  while (name[at] != 0 && at + 1 < capacity) {
    text[at] = name[at];
    ++at;
  }
  text[at] = 0;
}

NTSTATUS EnsureDirectory(const WCHAR* name, HANDLE* handle) {
  UNICODE_STRING text;
  OBJECT_ATTRIBUTES attributes;
  HANDLE local;
  NTSTATUS status;
  RtlInitUnicodeString(&text, name);
  /* Without a handle to keep, the directory has to outlive this call. */
  InitializeObjectAttributes(
      &attributes, &text,
      OBJ_OPENIF | OBJ_KERNEL_HANDLE | (handle == NULL ? OBJ_PERMANENT : 0),
      NULL, NULL);
  status = ZwCreateDirectoryObject(&local, DIRECTORY_ALL_ACCESS, &attributes);
  if (!NT_SUCCESS(status)) return status;
  if (handle != NULL) {
    *handle = local;
  } else {
    ZwClose(local);
  }
  return STATUS_SUCCESS;
}

NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, const WCHAR* device_name,
                           const WCHAR* link_name, DeviceRole role,
                           PDEVICE_OBJECT* device) {
  UNICODE_STRING name;
  DeviceState* state;
  NTSTATUS status;
  RtlInitUnicodeString(&name, device_name);
  status = IoCreateDevice(driver, sizeof(DeviceState), &name,
                          FILE_DEVICE_CONTROLLER, 0, FALSE, device);
  if (!NT_SUCCESS(status)) return status;
  state = (DeviceState*)(*device)->DeviceExtension;
  RtlZeroMemory(state, sizeof *state);
  state->role = role;
  CopyName(state->link_text, sizeof state->link_text / sizeof(WCHAR),
           link_name);
  RtlInitUnicodeString(&state->link, state->link_text);
  status = IoCreateSymbolicLink(&state->link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(*device);
    *device = NULL;
    return status;
  }
  (*device)->Flags |= DO_BUFFERED_IO;
  (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

void DeleteNamedDevice(PDEVICE_OBJECT device) {
  DeviceState* state = (DeviceState*)device->DeviceExtension;
  IoDeleteSymbolicLink(&state->link);
  if (state->directory != NULL) ZwClose(state->directory);
  IoDeleteDevice(device);
}

BOOLEAN ReadDword(PCUNICODE_STRING key, const WCHAR* value, ULONG* data) {
  OBJECT_ATTRIBUTES attributes;
  UNICODE_STRING value_name;
  HANDLE handle;
  /* KEY_VALUE_PARTIAL_INFORMATION with room for one DWORD. */
  ULONG answer[4 + 1];
  ULONG length = 0;
  KEY_VALUE_PARTIAL_INFORMATION* info = (KEY_VALUE_PARTIAL_INFORMATION*)answer;
  NTSTATUS status;
  InitializeObjectAttributes(&attributes, (PUNICODE_STRING)key,
                             OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                             NULL);
  if (!NT_SUCCESS(ZwOpenKey(&handle, KEY_READ, &attributes))) return FALSE;
  RtlInitUnicodeString(&value_name, value);
  status = ZwQueryValueKey(handle, &value_name, KeyValuePartialInformation,
                           info, sizeof answer, &length);
  ZwClose(handle);
  if (!NT_SUCCESS(status) || info->Type != REG_DWORD || info->DataLength != 4) {
    return FALSE;
  }
  RtlCopyMemory(data, info->Data, 4);
  return TRUE;
}
