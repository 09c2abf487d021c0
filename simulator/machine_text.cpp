// The machine as text: the state file's format, which `dorvane-sim show`
// prints as it is. One record a line, fields separated by single blanks,
// numbers in decimal:
//
//   dorvane-sim-machine 1      the version line, first
//   nt 0|1                     the system is an NT
//   codepage 1252|65001|932    the ANSI code page
//   module NAME                the module file name the process reports,
//                              when it is not the default
//   driver 0|1                 the driver is installed
//   shell RESULT               what ShellExecuteA answers; 32 or less refuses
//   dos NAME TARGET            a DOS name and the device object it names
//   device KIND OBJECT DRIVE   a device object: KIND scsi-port, raid-port,
//                              driver-adapter or disk; DRIVE the number of
//                              its physical drive (a disk's; else 0)
//   drive NUMBER PORT PATH TARGET LUN CYLINDERS MEDIA TRACKS SECTORS BYTES
//         VIRTUAL DISK REFUSES-OPEN REFUSES-GEOMETRY REFUSES-ADDRESS
//                              a physical drive: its SCSI address, geometry
//                              and media type; VIRTUAL 1 when it shows the
//                              driver's disk DISK; 1 for each request it
//                              refuses
//   disk NUMBER SIZE BYTES-PER-SECTOR IMAGE-OFFSET FLAGS NAME
//                              one of the driver's disks, in creation order;
//                              NAME its UTF-16 units, four hex digits each
//   fail CALL ERROR COUNT AFTER
//                              a failure rule: after AFTER more calls of CALL
//                              the next COUNT fail with ERROR
//   launch RESULT FILE PARAMETERS OUTCOME
//                              a shell launch, what the shell answered and
//                              what devcon.exe reported
//   end                        the last line
//
// Texts are escaped (%XX for blanks, controls, '%', '-' and bytes above
// 0x7E; "-" alone is the empty text), so every record splits cleanly.
#include "simulator/machine_text.h"

#include <charconv>
#include <set>
#include <sstream>
#include <vector>

#include "runtime/ascii.h"

namespace dorvane::sim {
namespace {

constexpr char kVersionLine[] = "dorvane-sim-machine 1";

const char* const kKindNames[] = {"scsi-port", "raid-port", "driver-adapter",
                                  "disk"};

std::string Escape(const std::string& text) {
  if (text.empty()) return "-";
  std::string out;
  for (unsigned char c : text) {
    if (c <= 0x20 || c >= 0x7F || c == '%' || c == '-') {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool Unescape(const std::string& field, std::string* text) {
  text->clear();
  if (field == "-") return true;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '-') return false;
    if (field[i] != '%') {
      *text += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return false;
    int high = HexDigitValue(field[i + 1]);
    int low = HexDigitValue(field[i + 2]);
    if (high < 0 || low < 0) return false;
    *text += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

template <typename T>
bool ParseNumber(const std::string& field, T* value) {
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, *value);
  return ec == std::errc() && ptr == end && !field.empty();
}

template <typename T>
bool ParseBounded(const std::string& field, T max, T* value) {
  return ParseNumber(field, value) && *value <= max;
}

bool ParseFlag(const std::string& field, bool* value) {
  unsigned flag = 0;
  if (!ParseBounded(field, 1u, &flag)) return false;
  *value = flag != 0;
  return true;
}

std::string NameToHex(const dm_disk& disk) {
  std::string out;
  for (std::uint32_t i = 0; i < disk.name_length / 2u; ++i) {
    for (int shift = 12; shift >= 0; shift -= 4) {
      out += kHexDigits[(disk.name[i] >> shift) & 15];
    }
  }
  return out.empty() ? "-" : out;
}

bool HexToName(const std::string& field, dm_disk* disk) {
  if (field == "-") return true;
  if (field.size() % 4 != 0 || field.size() / 4 > DM_NAME_UNITS - 1) {
    return false;
  }
  for (std::size_t i = 0; i < field.size() / 4; ++i) {
    std::uint32_t unit = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      int digit = HexDigitValue(field[i * 4 + k]);
      if (digit < 0) return false;
      unit = unit * 16 + static_cast<std::uint32_t>(digit);
    }
    if (unit == 0) return false;
    disk->name[i] = static_cast<std::uint16_t>(unit);
  }
  disk->name_length = static_cast<std::uint16_t>(field.size() / 2);
  return true;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t blank = line.find(' ', start);
    fields.push_back(line.substr(start, blank - start));
    if (blank == std::string::npos) return fields;
    start = blank + 1;
  }
}

using Fields = std::vector<std::string>;

// One parser per kind of record: the record's fields, its key first, into
// the machine; false for anything malformed.
bool ParseDos(const Fields& f, SimMachine* m) {
  DosName d;
  if (!Unescape(f[1], &d.name) || !Unescape(f[2], &d.target) ||
      d.name.empty() || m->FindDosName(d.name) != nullptr) {
    return false;
  }
  m->dos_names.push_back(d);
  return true;
}

bool ParseDevice(const Fields& f, SimMachine* m) {
  Device d;
  if (!ParseDeviceKind(f[1], &d.kind) || !Unescape(f[2], &d.object_name) ||
      !ParseNumber(f[3], &d.drive_number) || d.object_name.empty() ||
      m->FindDevice(d.object_name) != nullptr) {
    return false;
  }
  m->devices.push_back(d);
  return true;
}

bool ParseDrive(const Fields& f, SimMachine* m) {
  PhysicalDrive d;
  std::uint8_t max = 255;
  bool ok =
      ParseNumber(f[1], &d.drive_number) && ParseBounded(f[2], max, &d.port) &&
      ParseBounded(f[3], max, &d.path_id) &&
      ParseBounded(f[4], max, &d.target_id) &&
      ParseBounded(f[5], max, &d.lun) && ParseNumber(f[6], &d.cylinders) &&
      ParseNumber(f[7], &d.media_type) &&
      ParseNumber(f[8], &d.tracks_per_cylinder) &&
      ParseNumber(f[9], &d.sectors_per_track) &&
      ParseNumber(f[10], &d.bytes_per_sector) &&
      ParseFlag(f[11], &d.virtual_disk) &&
      ParseNumber(f[12], &d.device_number) &&
      ParseFlag(f[13], &d.refuse_open) &&
      ParseFlag(f[14], &d.refuse_geometry) &&
      ParseFlag(f[15], &d.refuse_address);
  if (!ok || m->FindDrive(d.drive_number) != nullptr) return false;
  m->drives.push_back(d);
  return true;
}

bool ParseDisk(const Fields& f, SimMachine* m) {
  if (m->driver.count >= DM_MAX_DISKS) return false;
  dm_disk d = {};
  bool ok = ParseBounded(f[1], DM_ALL_DEVICES - 1, &d.number) &&
            ParseNumber(f[2], &d.size) && d.size >= 0 &&
            ParseNumber(f[3], &d.bytes_per_sector) &&
            ParseNumber(f[4], &d.image_offset) && ParseNumber(f[5], &d.flags) &&
            HexToName(f[6], &d);
  if (!ok || dm_find_disk(&m->driver, d.number) != nullptr) return false;
  m->driver.disks[m->driver.count++] = d;
  return true;
}

bool ParseFail(const Fields& f, SimMachine* m) {
  FailRule r;
  bool ok = Unescape(f[1], &r.call) && !r.call.empty() &&
            ParseNumber(f[2], &r.error) && ParseNumber(f[3], &r.count) &&
            ParseNumber(f[4], &r.after);
  if (ok) m->failures.push_back(r);
  return ok;
}

bool ParseLaunch(const Fields& f, SimMachine* m) {
  Launch l;
  bool ok = ParseNumber(f[1], &l.result) && Unescape(f[2], &l.file) &&
            Unescape(f[3], &l.parameters) && Unescape(f[4], &l.outcome);
  if (ok) m->launches.push_back(l);
  return ok;
}

struct RecordKind {
  const char* key;
  std::size_t fields;  // the key among them
  bool single;         // exactly one in every machine
  bool (*parse)(const Fields& fields, SimMachine* machine);
};

const RecordKind kRecordKinds[] = {
    {"nt", 2, true,
     [](const Fields& f, SimMachine* m) { return ParseFlag(f[1], &m->is_nt); }},
    {"codepage", 2, true,
     [](const Fields& f, SimMachine* m) {
       return ParseNumber(f[1], &m->code_page) &&
              IsSupportedCodePage(m->code_page);
     }},
    {"driver", 2, true,
     [](const Fields& f, SimMachine* m) {
       return ParseFlag(f[1], &m->driver_installed);
     }},
    {"shell", 2, true,
     [](const Fields& f, SimMachine* m) {
       return ParseNumber(f[1], &m->shell_result);
     }},
    {"module", 2, false,
     [](const Fields& f, SimMachine* m) {
       return Unescape(f[1], &m->module_file_name) &&
              !m->module_file_name.empty();
     }},
    {"dos", 3, false, ParseDos},
    {"device", 4, false, ParseDevice},
    {"drive", 16, false, ParseDrive},
    {"disk", 7, false, ParseDisk},
    {"fail", 5, false, ParseFail},
    {"launch", 5, false, ParseLaunch},
};
constexpr std::size_t kSingleRecords = 4;

const RecordKind* FindRecordKind(const Fields& fields) {
  for (const RecordKind& kind : kRecordKinds) {
    if (fields[0] == kind.key && fields.size() == kind.fields) return &kind;
  }
  return nullptr;
}

}  // namespace

bool ParseDeviceKind(const std::string& name, DeviceKind* kind) {
  for (int i = 0; i < 4; ++i) {
    if (name == kKindNames[i]) {
      *kind = static_cast<DeviceKind>(i);
      return true;
    }
  }
  return false;
}

std::string SaveMachine(const SimMachine& m) {
  std::ostringstream out;
  out << kVersionLine << "\n";
  out << "nt " << (m.is_nt ? 1 : 0) << "\n";
  out << "codepage " << m.code_page << "\n";
  out << "driver " << (m.driver_installed ? 1 : 0) << "\n";
  out << "shell " << m.shell_result << "\n";
  if (m.module_file_name != kDefaultModuleFileName) {
    out << "module " << Escape(m.module_file_name) << "\n";
  }
  for (const DosName& d : m.dos_names) {
    out << "dos " << Escape(d.name) << " " << Escape(d.target) << "\n";
  }
  for (const Device& d : m.devices) {
    out << "device " << kKindNames[static_cast<int>(d.kind)] << " "
        << Escape(d.object_name) << " " << d.drive_number << "\n";
  }
  for (const PhysicalDrive& d : m.drives) {
    out << "drive " << d.drive_number << " " << unsigned{d.port} << " "
        << unsigned{d.path_id} << " " << unsigned{d.target_id} << " "
        << unsigned{d.lun} << " " << d.cylinders << " " << d.media_type << " "
        << d.tracks_per_cylinder << " " << d.sectors_per_track << " "
        << d.bytes_per_sector << " " << d.virtual_disk << " " << d.device_number
        << " " << d.refuse_open << " " << d.refuse_geometry << " "
        << d.refuse_address << "\n";
  }
  for (std::uint32_t i = 0; i < m.driver.count; ++i) {
    const dm_disk& d = m.driver.disks[i];
    out << "disk " << d.number << " " << d.size << " " << d.bytes_per_sector
        << " " << d.image_offset << " " << d.flags << " " << NameToHex(d)
        << "\n";
  }
  for (const FailRule& r : m.failures) {
    out << "fail " << Escape(r.call) << " " << r.error << " " << r.count << " "
        << r.after << "\n";
  }
  for (const Launch& l : m.launches) {
    out << "launch " << l.result << " " << Escape(l.file) << " "
        << Escape(l.parameters) << " " << Escape(l.outcome) << "\n";
  }
  out << "end\n";
  return out.str();
}

bool LoadMachine(const std::string& text, SimMachine* machine) {
  SimMachine loaded;
  loaded.driver_installed = false;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kVersionLine) return false;
  bool ended = false;
  std::set<std::string> singles;
  while (std::getline(in, line)) {
    if (ended) return false;
    if (line == "end") {
      ended = true;
      continue;
    }
    const Fields fields = Split(line);
    const RecordKind* kind = FindRecordKind(fields);
    if (kind == nullptr ||
        (kind->single && !singles.insert(kind->key).second) ||
        !kind->parse(fields, &loaded)) {
      return false;
    }
  }
  // The text must end with "end\n", so a cut-off file never loads.
  if (!ended || text.back() != '\n' || singles.size() != kSingleRecords) {
    return false;
  }
  *machine = std::move(loaded);
  return true;
}

}  // namespace dorvane::sim
