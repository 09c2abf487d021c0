/* Entry, unload and dispatch. Settings: the service's DWORD value
 * "OtherPorts" 1 makes this load play the machine's other ports instead of
 * the adapter; HKLM\Software\Dorvane\WineRig "ScsiName" 1 names the adapter
 * \Device\Scsi\PhDskMntN instead of \Device\RaidPortN. */
#include "driver_double.h"

static NTSTATUS Complete(PIRP irp, NTSTATUS status) {
  irp->IoStatus.Status = status;
  if (!NT_SUCCESS(status)) irp->IoStatus.Information = 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS NTAPI OpenClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  irp->IoStatus.Information = 0;
  return Complete(irp, STATUS_SUCCESS);
}

static NTSTATUS NTAPI Control(PDEVICE_OBJECT device, PIRP irp) {
  DeviceState* state = (DeviceState*)device->DeviceExtension;
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  irp->IoStatus.Information = 0;
  switch (state->role) {
    case kRoleAdapter:
      return Complete(irp, AdapterControl(irp, stack));
    case kRoleDisk:
      return Complete(irp, DiskControl(state, irp, stack));
    default: /* other ports know no PhDskMnt request */
      return Complete(irp, STATUS_INVALID_DEVICE_REQUEST);
  }
}

static void NTAPI Unload(PDRIVER_OBJECT driver) {
  DeleteAdapter();
  while (driver->DeviceObject != NULL) {
    DeleteNamedDevice(driver->DeviceObject);
  }
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver,
                           PUNICODE_STRING registry_path);

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver,
                           PUNICODE_STRING registry_path) {
  static const WCHAR kRigKey[] =
      L"\\Registry\\Machine\\Software\\Dorvane\\WineRig";
  UNICODE_STRING rig_key;
  ULONG other_ports = 0;
  ULONG scsi_name = 0;
  driver->MajorFunction[IRP_MJ_CREATE] = OpenClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = OpenClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = OpenClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = Control;
  driver->DriverUnload = Unload;
  (void)ReadDword(registry_path, L"OtherPorts", &other_ports);
  if (other_ports == 1) return CreateOtherPorts(driver);
  RtlInitUnicodeString(&rig_key, kRigKey);
  (void)ReadDword(&rig_key, L"ScsiName", &scsi_name);
  return CreateAdapter(driver, scsi_name == 1);
}
