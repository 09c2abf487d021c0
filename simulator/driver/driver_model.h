/* The driver's own handling of its five miniport requests, as a
 * self-contained model: fixed-size state, no heap, nothing beyond
 * <stdint.h> and <string.h>. Plain C, so that a kernel-mode test driver can
 * compile the same file. */
#ifndef DORVANE_DRIVER_MODEL_H
#define DORVANE_DRIVER_MODEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DM_MAX_DISKS 64
#define DM_NAME_UNITS 256 /* 255 units of text and a zero unit */

/* Request layout: a 28-byte SRB_IO_CONTROL header, then the payload. */
#define DM_HEADER_SIZE 28
#define DM_DEVICE_CONFIG_SIZE 546
#define DM_DEVICE_LIST_SIZE 68
#define DM_DEVICE_LIST_SLOTS 16

#define DM_CTL_QUERY_VERSION 0x83730800u
#define DM_CTL_CREATE_DEVICE 0x83730801u
#define DM_CTL_QUERY_DEVICE 0x83730802u
#define DM_CTL_QUERY_ADAPTER 0x83730803u
#define DM_CTL_REMOVE_DEVICE 0x83730806u

#define DM_ALL_DEVICES 0x00FFFFFFu
/* Written into ReturnCode by the version request. */
#define DM_DRIVER_VERSION 0x0103u

/* Windows error numbers the driver answers with. */
#define DM_ERROR_INVALID_FUNCTION 1u
#define DM_ERROR_FILE_NOT_FOUND 2u
#define DM_ERROR_NOT_ENOUGH_MEMORY 8u
#define DM_ERROR_FILE_EXISTS 80u
#define DM_ERROR_INVALID_PARAMETER 87u

typedef struct dm_disk {
  uint32_t number;
  int64_t size;
  uint32_t bytes_per_sector;
  int64_t image_offset;
  uint32_t flags;
  uint16_t name_length; /* bytes of name text, the zero unit not counted */
  uint16_t name[DM_NAME_UNITS];
} dm_disk;

typedef struct dm_model {
  uint32_t count; /* disks in use, in creation order */
  dm_disk disks[DM_MAX_DISKS];
} dm_model;

/* The host answers the size of a backing file; returns 0 or a Windows error
 * number (2 when missing). path is UTF-16, units long, without "\??\". */
typedef uint32_t (*dm_file_size_fn)(void* context, const uint16_t* path,
                                    uint32_t units, int64_t* size);

/* Handles one IOCTL_SCSI_MINIPORT request in buffer (SRB_IO_CONTROL header
 * and payload; in_size bytes in, room for out_size bytes out; the buffer
 * holds at least the larger of the two). Returns 0 and sets *returned on
 * success, or a Windows error number. */
uint32_t dm_miniport_request(dm_model* model, uint8_t* buffer, uint32_t in_size,
                             uint32_t out_size, uint32_t* returned,
                             dm_file_size_fn file_size, void* context);

/* The disk with this number, or NULL. */
const dm_disk* dm_find_disk(const dm_model* model, uint32_t number);

/* Little-endian fields of request buffers, read and written byte by byte:
 * the records are packed (DiskSize sits at an odd 4-byte offset), so no
 * struct is laid over a buffer. The driver double uses them too. */
static inline uint16_t dm_get_u16(const uint8_t* p) {
  return (uint16_t)(p[0] | (p[1] << 8));
}

static inline uint32_t dm_get_u32(const uint8_t* p) {
  return (uint32_t)dm_get_u16(p) | ((uint32_t)dm_get_u16(p + 2) << 16);
}

static inline int64_t dm_get_i64(const uint8_t* p) {
  return (int64_t)(dm_get_u32(p) | ((uint64_t)dm_get_u32(p + 4) << 32));
}

static inline void dm_put_u16(uint8_t* p, uint16_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}

static inline void dm_put_u32(uint8_t* p, uint32_t v) {
  dm_put_u16(p, (uint16_t)v);
  dm_put_u16(p + 2, (uint16_t)(v >> 16));
}

static inline void dm_put_i64(uint8_t* p, int64_t v) {
  dm_put_u32(p, (uint32_t)v);
  dm_put_u32(p + 4, (uint32_t)((uint64_t)v >> 32));
}

#ifdef __cplusplus
}
#endif

#endif
