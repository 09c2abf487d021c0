/* The machine's SCSI ports that are not the driver, as the simulated
 * machine has them: scsi0: an IDE port and scsi1: a RAID port of another
 * driver. Discovery probes the RAID port and must pass over it. */
#include "driver_double.h"

NTSTATUS CreateOtherPorts(PDRIVER_OBJECT driver) {
  PDEVICE_OBJECT device;
  NTSTATUS status = EnsureDirectory(L"\\Device\\Ide", NULL);
  if (!NT_SUCCESS(status)) return status;
  status = CreateNamedDevice(driver, L"\\Device\\Ide\\IdePort0",
                             L"\\DosDevices\\scsi0:", kRoleOtherPort, &device);
  if (!NT_SUCCESS(status)) return status;
  status = CreateNamedDevice(driver, L"\\Device\\RaidPort1",
                             L"\\DosDevices\\scsi1:", kRoleOtherPort, &device);
  if (!NT_SUCCESS(status)) {
    DeleteNamedDevice(driver->DeviceObject);
  }
  return status;
}
