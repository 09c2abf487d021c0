/* The driver's adapter: a SCSI port numbered like Windows numbers ports (the
 * lowest scsiN: that is free), answering IOCTL_SCSI_MINIPORT through the
 * shared driver model. */
#include "driver_double.h"

#define PORT_LIMIT 64

static dm_model g_model;
static KMUTEX g_lock;
static PDEVICE_OBJECT g_adapter;
static UCHAR g_port;

NTSTATUS CreateAdapter(PDRIVER_OBJECT driver, BOOLEAN scsi_form) {
  WCHAR device_name[64];
  WCHAR link_name[32];
  ULONG port;
  NTSTATUS status = STATUS_UNSUCCESSFUL;
  RtlZeroMemory(&g_model, sizeof g_model);
  KeInitializeMutex(&g_lock, 0);
  if (scsi_form) {
    status = EnsureDirectory(L"\\Device\\Scsi", NULL);
    if (!NT_SUCCESS(status)) return status;
  }
  for (port = 0; port < PORT_LIMIT; ++port) {
    FormatName(device_name, 64,
               scsi_form ? L"\\Device\\Scsi\\PhDskMnt" : L"\\Device\\RaidPort",
               port, L"");
    FormatName(link_name, 32, L"\\DosDevices\\scsi", port, L":");
    /* A taken name (Wine answers a taken link with more than one status)
     * moves on to the next number. */
    status = CreateNamedDevice(driver, device_name, link_name, kRoleAdapter,
                               &g_adapter);
    if (NT_SUCCESS(status)) break;
  }
  if (NT_SUCCESS(status)) g_port = (UCHAR)port;
  return status;
}

void DeleteAdapter(void) {
  if (g_adapter == NULL) return;
  RtlZeroMemory(&g_model, sizeof g_model);
  SyncDiskDrives(g_adapter->DriverObject, &g_model, g_port);
  DeleteNamedDevice(g_adapter);
  g_adapter = NULL;
}

/* METHOD_BUFFERED: one system buffer holds the larger of both sizes. */
NTSTATUS AdapterControl(PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG in_size = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
  uint32_t returned = 0;
  uint32_t error;
  if (stack->Parameters.DeviceIoControl.IoControlCode !=
      IOCTL_SCSI_MINIPORT_CODE) {
    return STATUS_INVALID_DEVICE_REQUEST;
  }
  KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, NULL);
  error =
      dm_miniport_request(&g_model, irp->AssociatedIrp.SystemBuffer, in_size,
                          out_size, &returned, BackingFileSize, NULL);
  SyncDiskDrives(g_adapter->DriverObject, &g_model, g_port);
  KeReleaseMutex(&g_lock, FALSE);
  if (error != 0) return StatusOfWindowsError(error);
  irp->IoStatus.Information = returned < out_size ? returned : out_size;
  return STATUS_SUCCESS;
}
