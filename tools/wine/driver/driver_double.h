/* The test double of the PhDskMnt miniport driver, as a kernel-mode driver
 * for Wine: its adapter answers the miniport requests through the same model
 * the simulated machine runs, and every virtual disk shows as a physical
 * drive. The same binary, loaded as a second service, plays the machine's
 * other SCSI ports. */
#ifndef DORVANE_DRIVER_DOUBLE_H
#define DORVANE_DRIVER_DOUBLE_H

#include <ntddk.h>

#include "simulator/driver/driver_model.h"

#define IOCTL_SCSI_MINIPORT_CODE 0x0004D008u
#define IOCTL_SCSI_GET_ADDRESS_CODE 0x00041018u
#define IOCTL_DISK_GET_DRIVE_GEOMETRY_CODE 0x00070000u

typedef enum DeviceRole {
  kRoleAdapter,  /* the driver's adapter */
  kRoleDisk,     /* one virtual disk as a physical drive */
  kRoleOtherPort /* a port of the machine that is not the driver */
} DeviceRole;

typedef struct DeviceState {
  DeviceRole role;
  UNICODE_STRING link; /* its DOS name, deleted with the device */
  WCHAR link_text[48];
  HANDLE directory; /* kRoleDisk: \Device\HarddiskN, closed with it */
  ULONG drive_number;
  uint32_t disk_number; /* kRoleDisk: the model's number */
  UCHAR port;           /* kRoleDisk: the adapter's port number */
  LONGLONG cylinders;
  ULONG bytes_per_sector;
} DeviceState;

/* object_names.c */
/* "prefix" followed by the decimal number, into text (capacity in units). */
void FormatName(WCHAR* text, ULONG capacity, const WCHAR* prefix, ULONG number,
                const WCHAR* suffix);
/* Makes sure an object directory exists (Wine starts without some). */
NTSTATUS EnsureDirectory(const WCHAR* name, HANDLE* handle);
/* Creates a device with that name and the DOS name link, both or neither. */
NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, const WCHAR* device_name,
                           const WCHAR* link_name, DeviceRole role,
                           PDEVICE_OBJECT* device);
/* Deletes the device and its DOS name, and closes its directory. */
void DeleteNamedDevice(PDEVICE_OBJECT device);
/* A DWORD registry value; FALSE when it is missing or not a DWORD. */
BOOLEAN ReadDword(PCUNICODE_STRING key, const WCHAR* value, ULONG* data);

/* status_codes.c */
NTSTATUS StatusOfWindowsError(uint32_t error);
uint32_t WindowsErrorOfStatus(NTSTATUS status);

/* backing_size.c: the model's question for the size of a backing file. */
uint32_t BackingFileSize(void* context, const uint16_t* path, uint32_t units,
                         int64_t* size);

/* adapter.c */
NTSTATUS CreateAdapter(PDRIVER_OBJECT driver, BOOLEAN scsi_form);
NTSTATUS AdapterControl(PIRP irp, PIO_STACK_LOCATION stack);
void DeleteAdapter(void);

/* disk_drives.c */
/* Makes the physical drives match the model's disks, as on the simulated
 * machine: a drive per disk at the lowest free number, gone with the disk. */
void SyncDiskDrives(PDRIVER_OBJECT driver, const dm_model* model, UCHAR port);
NTSTATUS DiskControl(DeviceState* state, PIRP irp, PIO_STACK_LOCATION stack);

/* machine_ports.c */
NTSTATUS CreateOtherPorts(PDRIVER_OBJECT driver);

#endif
