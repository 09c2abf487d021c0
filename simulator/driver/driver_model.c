/* Request buffers are decoded field by field with the codec of
 * driver_model.h. */
#include "simulator/driver/driver_model.h"

#include <string.h>

/* Buffer offsets of the header and DeviceConfig fields. */
enum {
  kHeaderLength = 0,
  kSignature = 4,
  kControlCode = 16,
  kReturnCode = 20,
  kLength = 24,
  kDeviceNumber = 28,
  kDiskSize = 32,
  kBytesPerSector = 40,
  kReserved = 44,
  kImageOffset = 48,
  kFlags = 56,
  kFileNameLength = 60,
  kFileName = 62,
  kDeviceCount = 28,
  kDeviceSlots = 32
};

static const char kSignatureText[8] = {'P', 'h', 'D', 's', 'k', 'M', 'n', 't'};

static int find_index(const dm_model* model, uint32_t number) {
  uint32_t i;
  for (i = 0; i < model->count; ++i) {
    if (model->disks[i].number == number) return (int)i;
  }
  return -1;
}

const dm_disk* dm_find_disk(const dm_model* model, uint32_t number) {
  int i = find_index(model, number);
  return i < 0 ? NULL : &model->disks[i];
}

/* Automatic numbers put each disk on its own target of path 0, lun 0. */
static int next_free_number(const dm_model* model, uint32_t* number) {
  uint32_t target;
  for (target = 0; target < 256; ++target) {
    uint32_t candidate = target << 8;
    if (find_index(model, candidate) < 0) {
      *number = candidate;
      return 1;
    }
  }
  return 0;
}

static int is_ascii_prefix(const uint16_t* text, uint32_t units,
                           const char* prefix, int ignore_case) {
  uint32_t i;
  for (i = 0; prefix[i] != 0; ++i) {
    uint16_t c;
    uint16_t p = (uint8_t)prefix[i];
    if (i >= units) return 0;
    c = text[i];
    if (ignore_case) {
      if (c >= 'A' && c <= 'Z') c = (uint16_t)(c + 32);
      if (p >= 'A' && p <= 'Z') p = (uint16_t)(p + 32);
    }
    if (c != p) return 0;
  }
  return 1;
}

static int contains_ascii(const uint16_t* text, uint32_t units,
                          const char* needle) {
  uint32_t start;
  for (start = 0; start < units; ++start) {
    if (is_ascii_prefix(text + start, units - start, needle, 1)) return 1;
  }
  return 0;
}

/* With no size given, the size comes from what backs the disk. */
static uint32_t size_from_backing(const uint16_t* name, uint32_t units,
                                  dm_file_size_fn file_size, void* context,
                                  int64_t* size) {
  static const char kPrefix[] = "\\??\\";
  static const char kAwePrefix[] = "\\??\\awealloc";
  const uint32_t awe_units = (uint32_t)(sizeof kAwePrefix - 1);
  /* Physical memory in front of an image file: "\??\awealloc\??\PATH". */
  if (is_ascii_prefix(name, units, kAwePrefix, 1) &&
      (units == awe_units || name[awe_units] == '\\')) {
    name += awe_units;
    units -= awe_units;
  }
  if (is_ascii_prefix(name, units, kPrefix, 0)) {
    if (units == sizeof kPrefix - 1) return DM_ERROR_INVALID_PARAMETER;
    if (file_size == NULL) return DM_ERROR_FILE_NOT_FOUND;
    return file_size(context, name + sizeof kPrefix - 1,
                     units - (uint32_t)(sizeof kPrefix - 1), size);
  }
  /* A shared-memory section: its size is known only to the program that
   * serves it, outside this machine. */
  if (contains_ascii(name, units, "BaseNamedObjects")) {
    *size = 0;
    return 0;
  }
  return DM_ERROR_INVALID_PARAMETER;
}

static void write_config(uint8_t* buffer, const dm_disk* disk) {
  uint32_t i;
  memset(buffer + kDeviceNumber, 0, DM_DEVICE_CONFIG_SIZE);
  dm_put_u32(buffer + kDeviceNumber, disk->number);
  dm_put_i64(buffer + kDiskSize, disk->size);
  dm_put_u32(buffer + kBytesPerSector, disk->bytes_per_sector);
  dm_put_i64(buffer + kImageOffset, disk->image_offset);
  dm_put_u32(buffer + kFlags, disk->flags);
  dm_put_u16(buffer + kFileNameLength, disk->name_length);
  for (i = 0; i < DM_NAME_UNITS; ++i) {
    dm_put_u16(buffer + kFileName + 2 * i, disk->name[i]);
  }
}

static uint32_t create_device(dm_model* model, uint8_t* buffer,
                              uint32_t* returned, dm_file_size_fn file_size,
                              void* context) {
  dm_disk disk;
  uint32_t units;
  uint32_t i;
  uint32_t error;
  memset(&disk, 0, sizeof disk);
  if (model->count >= DM_MAX_DISKS) return DM_ERROR_NOT_ENOUGH_MEMORY;

  disk.number = dm_get_u32(buffer + kDeviceNumber);
  if (disk.number == DM_ALL_DEVICES) {
    if (!next_free_number(model, &disk.number)) {
      return DM_ERROR_NOT_ENOUGH_MEMORY;
    }
  } else if (disk.number > DM_ALL_DEVICES) {
    /* Only three bytes of address exist: 0x00LLTTPP. */
    return DM_ERROR_INVALID_PARAMETER;
  } else if (find_index(model, disk.number) >= 0) {
    return DM_ERROR_FILE_EXISTS;
  }

  /* The name ends at FileNameLength bytes, at the field's end or at the
   * first zero unit, whichever comes first. */
  units = dm_get_u16(buffer + kFileNameLength) / 2u;
  if (units > DM_NAME_UNITS - 1) units = DM_NAME_UNITS - 1;
  for (i = 0; i < units; ++i) {
    uint16_t c = dm_get_u16(buffer + kFileName + 2 * i);
    if (c == 0) break;
    disk.name[i] = c;
  }
  units = i;
  disk.name_length = (uint16_t)(units * 2);

  disk.size = dm_get_i64(buffer + kDiskSize);
  if (disk.size < 0) return DM_ERROR_INVALID_PARAMETER;
  if (disk.size == 0) {
    error = size_from_backing(disk.name, units, file_size, context, &disk.size);
    if (error != 0) return error;
  }
  disk.bytes_per_sector = dm_get_u32(buffer + kBytesPerSector);
  if (disk.bytes_per_sector == 0) disk.bytes_per_sector = 512;
  disk.image_offset = dm_get_i64(buffer + kImageOffset);
  disk.flags = dm_get_u32(buffer + kFlags);

  model->disks[model->count++] = disk;
  write_config(buffer, &disk);
  *returned = DM_HEADER_SIZE + DM_DEVICE_CONFIG_SIZE;
  return 0;
}

static uint32_t query_device(const dm_model* model, uint8_t* buffer,
                             uint32_t* returned) {
  int i = find_index(model, dm_get_u32(buffer + kDeviceNumber));
  if (i < 0) {
    /* An unknown number is no error: the answer just holds no description. */
    *returned = DM_HEADER_SIZE;
    return 0;
  }
  write_config(buffer, &model->disks[i]);
  *returned = DM_HEADER_SIZE + DM_DEVICE_CONFIG_SIZE;
  return 0;
}

static uint32_t query_adapter(const dm_model* model, uint8_t* buffer,
                              uint32_t* returned) {
  uint32_t i;
  dm_put_u32(buffer + kDeviceCount, model->count);
  for (i = 0; i < DM_DEVICE_LIST_SLOTS; ++i) {
    uint32_t number = i < model->count ? model->disks[i].number : 0;
    dm_put_u32(buffer + kDeviceSlots + 4 * i, number);
  }
  *returned = DM_HEADER_SIZE + DM_DEVICE_LIST_SIZE;
  return 0;
}

static uint32_t remove_device(dm_model* model, const uint8_t* buffer,
                              uint32_t* returned) {
  uint32_t number = dm_get_u32(buffer + kDeviceNumber);
  int i;
  if (number == DM_ALL_DEVICES) {
    model->count = 0;
  } else {
    i = find_index(model, number);
    if (i < 0) return DM_ERROR_FILE_NOT_FOUND;
    /* Keep creation order for the adapter's list. */
    memmove(&model->disks[i], &model->disks[i + 1],
            (model->count - (uint32_t)i - 1) * sizeof model->disks[0]);
    --model->count;
  }
  *returned = DM_HEADER_SIZE + 4;
  return 0;
}

uint32_t dm_miniport_request(dm_model* model, uint8_t* buffer, uint32_t in_size,
                             uint32_t out_size, uint32_t* returned,
                             dm_file_size_fn file_size, void* context) {
  uint32_t length;
  uint32_t needed;
  *returned = 0;
  if (buffer == NULL || in_size < DM_HEADER_SIZE || out_size < DM_HEADER_SIZE) {
    return DM_ERROR_INVALID_PARAMETER;
  }
  length = dm_get_u32(buffer + kLength);
  if (dm_get_u32(buffer + kHeaderLength) != DM_HEADER_SIZE ||
      memcmp(buffer + kSignature, kSignatureText, sizeof kSignatureText) != 0 ||
      length > in_size - DM_HEADER_SIZE || length > out_size - DM_HEADER_SIZE) {
    return DM_ERROR_INVALID_PARAMETER;
  }

  switch (dm_get_u32(buffer + kControlCode)) {
    case DM_CTL_QUERY_VERSION:
      dm_put_u32(buffer + kReturnCode, DM_DRIVER_VERSION);
      *returned = DM_HEADER_SIZE;
      return 0;
    case DM_CTL_CREATE_DEVICE:
    case DM_CTL_QUERY_DEVICE:
      needed = DM_DEVICE_CONFIG_SIZE;
      break;
    case DM_CTL_QUERY_ADAPTER:
      needed = DM_DEVICE_LIST_SIZE;
      break;
    case DM_CTL_REMOVE_DEVICE:
      needed = 4;
      break;
    default:
      return DM_ERROR_INVALID_FUNCTION;
  }
  if (length < needed) return DM_ERROR_INVALID_PARAMETER;

  switch (dm_get_u32(buffer + kControlCode)) {
    case DM_CTL_CREATE_DEVICE:
      return create_device(model, buffer, returned, file_size, context);
    case DM_CTL_QUERY_DEVICE:
      return query_device(model, buffer, returned);
    case DM_CTL_QUERY_ADAPTER:
      return query_adapter(model, buffer, returned);
    default:
      return remove_device(model, buffer, returned);
  }
}
