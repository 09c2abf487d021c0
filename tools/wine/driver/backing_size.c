/* The size of a disk's backing file, asked by the model for a create request
 * that gives no size. The name is what followed "\??\", so it is opened as
 * "\??\" + name, the way the driver itself would open the image. */
#include "driver_double.h"

#define NAME_LIMIT (4 + DM_NAME_UNITS)

uint32_t BackingFileSize(void* context, const uint16_t* path, uint32_t units,
                         int64_t* size) {
  static const WCHAR kPrefix[] = L"\\??\\";
  WCHAR text[NAME_LIMIT];
  UNICODE_STRING name;
  OBJECT_ATTRIBUTES attributes;
  IO_STATUS_BLOCK io;
  FILE_STANDARD_INFORMATION info;
  HANDLE file;
  NTSTATUS status;
  ULONG i;
  (void)context;
  if (units > DM_NAME_UNITS) return DM_ERROR_INVALID_PARAMETER;
  for (i = 0; i < 4; ++i) text[i] = kPrefix[i];
  for (i = 0; i < units; ++i) text[4 + i] = path[i];
  name.Buffer = text;
  name.Length = (USHORT)((4 + units) * sizeof(WCHAR));
  name.MaximumLength = name.Length;
  InitializeObjectAttributes(
      &attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
  status = ZwOpenFile(&file, FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes,
                      &io, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      FILE_SYNCHRONOUS_IO_NONALERT);
  if (!NT_SUCCESS(status)) return WindowsErrorOfStatus(status);
  status = ZwQueryInformationFile(file, &io, &info, sizeof info,
                                  FileStandardInformation);
  ZwClose(file);
  if (!NT_SUCCESS(status)) return WindowsErrorOfStatus(status);
  /* An image has to be a file: a directory cannot be opened for data. */
  if (info.Directory) return 5;
  *size = info.EndOfFile.QuadPart;
  return 0;
}
