/* Every virtual disk as a physical drive: \Device\HarddiskN\DR0 under the
 * DOS name PhysicalDriveN, N the lowest free drive number, at the adapter's
 * SCSI port and the address the disk's number encodes (0x00LLTTPP). */
#include "driver_double.h"

#define DRIVE_LIMIT 256
#define TRACKS_PER_CYLINDER 255
#define SECTORS_PER_TRACK 63
#define FIXED_MEDIA 12

static PDEVICE_OBJECT g_drives[DM_MAX_DISKS];

static DeviceState* StateOf(PDEVICE_OBJECT device) {
  return (DeviceState*)device->DeviceExtension;
}

static BOOLEAN Shown(uint32_t number) {
  ULONG i;
  for (i = 0; i < DM_MAX_DISKS; ++i) {
    if (g_drives[i] != NULL && StateOf(g_drives[i])->disk_number == number) {
      return TRUE;
    }
  }
  return FALSE;
}

/* Tries drive number N: its directory, its device, its DOS name. */
static NTSTATUS TryDrive(PDRIVER_OBJECT driver, ULONG n,
                         PDEVICE_OBJECT* device) {
  WCHAR directory_name[40];
  WCHAR device_name[48];
  WCHAR link_name[48];
  HANDLE directory;
  NTSTATUS status;
  FormatName(directory_name, 40, L"\\Device\\Harddisk", n, L"");
  FormatName(device_name, 48, L"\\Device\\Harddisk", n, L"\\DR0");
  FormatName(link_name, 48, L"\\DosDevices\\PhysicalDrive", n, L"");
  status = EnsureDirectory(directory_name, &directory);
  if (!NT_SUCCESS(status)) return status;
  status = CreateNamedDevice(driver, device_name, link_name, kRoleDisk, device);
  if (!NT_SUCCESS(status)) {
    ZwClose(directory);
    return status;
  }
  StateOf(*device)->directory = directory;
  StateOf(*device)->drive_number = n;
  return STATUS_SUCCESS;
}

static void ShowDisk(PDRIVER_OBJECT driver, const dm_disk* disk, UCHAR port) {
  PDEVICE_OBJECT device = NULL;
  DeviceState* state;
  ULONG slot;
  ULONG n;
  LONGLONG cylinder_bytes;
  for (slot = 0; slot < DM_MAX_DISKS && g_drives[slot] != NULL; ++slot) {
  }
  if (slot == DM_MAX_DISKS) return;
  /* A name that is taken (Wine's own PhysicalDrive0, or a name in use as
   * something else) moves on to the next number. */
  for (n = 0; n < DRIVE_LIMIT; ++n) {
    if (NT_SUCCESS(TryDrive(driver, n, &device))) break;
  }
  if (device == NULL) return;
  state = StateOf(device);
  state->disk_number = disk->number;
  state->port = port;
  state->bytes_per_sector = disk->bytes_per_sector;
  cylinder_bytes = (LONGLONG)TRACKS_PER_CYLINDER * SECTORS_PER_TRACK *
                   disk->bytes_per_sector;
  state->cylinders = disk->size / cylinder_bytes;
  g_drives[slot] = device;
}

void SyncDiskDrives(PDRIVER_OBJECT driver, const dm_model* model, UCHAR port) {
  ULONG i;
  for (i = 0; i < DM_MAX_DISKS; ++i) {
    if (g_drives[i] != NULL &&
        dm_find_disk(model, StateOf(g_drives[i])->disk_number) == NULL) {
      DeleteNamedDevice(g_drives[i]);
      g_drives[i] = NULL;
    }
  }
  for (i = 0; i < model->count; ++i) {
    if (!Shown(model->disks[i].number)) {
      ShowDisk(driver, &model->disks[i], port);
    }
  }
}

NTSTATUS DiskControl(DeviceState* state, PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
  UCHAR* out = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
  ULONGLONG cylinders = (ULONGLONG)state->cylinders;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_DISK_GET_DRIVE_GEOMETRY_CODE: /* DISK_GEOMETRY */
      if (out_size < 24) return STATUS_BUFFER_TOO_SMALL;
      dm_put_u32(out, (ULONG)cylinders);
      dm_put_u32(out + 4, (ULONG)(cylinders >> 32));
      dm_put_u32(out + 8, FIXED_MEDIA);
      dm_put_u32(out + 12, TRACKS_PER_CYLINDER);
      dm_put_u32(out + 16, SECTORS_PER_TRACK);
      dm_put_u32(out + 20, state->bytes_per_sector);
      irp->IoStatus.Information = 24;
      return STATUS_SUCCESS;
    case IOCTL_SCSI_GET_ADDRESS_CODE: /* SCSI_ADDRESS */
      if (out_size < 8) return STATUS_BUFFER_TOO_SMALL;
      dm_put_u32(out, 8);
      out[4] = state->port;
      out[5] = (UCHAR)state->disk_number;
      out[6] = (UCHAR)(state->disk_number >> 8);
      out[7] = (UCHAR)(state->disk_number >> 16);
      irp->IoStatus.Information = 8;
      return STATUS_SUCCESS;
    default:
      return STATUS_INVALID_DEVICE_REQUEST;
  }
}
