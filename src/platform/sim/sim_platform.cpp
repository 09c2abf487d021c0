#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/sim/code_pages.h"
#include "platform/sim/devcon.h"
#include "platform/sim/device_control.h"
#include "platform/sim/file_time.h"
#include "platform/sim/host_files.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kErrorDeviceGone = 55;  // ERROR_DEV_NOT_EXIST
constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kErrorNoAccess = 998;  // a buffer that is not there
constexpr std::uint32_t kStdInputHandle = static_cast<std::uint32_t>(-10);
constexpr std::uint32_t kOsVersionInfoExSize = 156;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileReadData = 1, kFileWriteData = 2;
constexpr std::uint32_t kGenericAll = 0x10000000;

bool CanRead(std::uint32_t access) {
  return (access & (kGenericRead | kGenericAll | kFileReadData)) != 0;
}
bool CanWrite(std::uint32_t access) {
  return (access & (kGenericWrite | kGenericAll | kFileWriteData)) != 0;
}

bool SameTextIgnoringCase(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

FileTime ToFileTime(std::uint64_t value) {
  FileTime time;
  time.dwLowDateTime = static_cast<std::uint32_t>(value);
  time.dwHighDateTime = static_cast<std::uint32_t>(value >> 32);
  return time;
}

std::uint64_t FromFileTime(const FileTime& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

CallRecord Record(const char* call, std::uint32_t a = 0, std::uint32_t b = 0,
                  std::uint32_t c = 0) {
  CallRecord record;
  record.call = call;
  record.a = a;
  record.b = b;
  record.c = c;
  return record;
}

std::string TextOf(const char* text) { return text == nullptr ? "" : text; }

}  // namespace

const std::vector<std::string>& FailableCalls() {
  static const std::vector<std::string> kCalls = {"CreateFileA",
                                                  "DeviceIoControl",
                                                  "CloseHandle",
                                                  "QueryDosDeviceA",
                                                  "GetVersionExA",
                                                  "MultiByteToWideChar",
                                                  "WideCharToMultiByte",
                                                  "FindFirstFileA",
                                                  "FindClose",
                                                  "FileTimeToLocalFileTime",
                                                  "FileTimeToDosDateTime",
                                                  "GetStdHandle",
                                                  "GetFileType",
                                                  "WriteFile",
                                                  "GetModuleHandleExA",
                                                  "GetModuleFileNameA",
                                                  "CharToOemA",
                                                  "ShellExecuteA"};
  return kCalls;
}

SimPlatform::SimPlatform(SimMachine& machine, std::string command_line)
    : machine_(machine),
      command_line_(std::move(command_line)),
      out_(&default_out_),
      err_(&default_err_) {}

SimPlatform::~SimPlatform() = default;

void SimPlatform::SetStreams(SimStream* out, SimStream* err) {
  out_ = out != nullptr ? out : &default_out_;
  err_ = err != nullptr ? err : &default_err_;
}

void SimPlatform::SetCurrentDirectory(std::string directory) {
  current_directory_ = std::move(directory);
}

std::size_t SimPlatform::CountCalls(const std::string& call) const {
  return static_cast<std::size_t>(
      std::count_if(calls_.begin(), calls_.end(),
                    [&](const CallRecord& r) { return r.call == call; }));
}

std::size_t SimPlatform::open_handles() const { return handles_.size(); }

bool SimPlatform::Begin(CallRecord record) {
  calls_.push_back(std::move(record));
  std::uint32_t error = 0;
  if (!machine_.ConsumeFailure(calls_.back().call, &error)) return false;
  Failed(error);
  return true;
}

void SimPlatform::Succeed() { calls_.back().ok = true; }

void SimPlatform::Failed(std::uint32_t error) {
  calls_.back().ok = false;
  calls_.back().error = error;
  last_error_ = error;
}

std::uint32_t SimPlatform::ResolveCodePage(std::uint32_t code_page) const {
  return code_page == kCpAcp || code_page == kCpThreadAcp ? machine_.code_page
                                                          : code_page;
}

Handle SimPlatform::AddHandle(OpenObject object) {
  Handle handle = next_handle_;
  next_handle_ += 4;
  handles_.emplace(handle, std::move(object));
  return handle;
}

SimStream* SimPlatform::StreamOf(Handle handle) {
  if (handle == kSimStdOutput) return out_;
  if (handle == kSimStdError) return err_;
  return nullptr;
}

Handle SimPlatform::CreateFileA(const char* name, std::uint32_t desired_access,
                                std::uint32_t share_mode,
                                std::uint32_t creation_disposition,
                                std::uint32_t /*flags_and_attributes*/) {
  CallRecord record =
      Record("CreateFileA", desired_access, share_mode, creation_disposition);
  record.text = TextOf(name);
  if (Begin(std::move(record))) return kInvalidHandle;
  // Only devices exist here: "\\.\NAME" opens what the DOS name NAME points
  // at.
  std::string path = TextOf(name);
  const DosName* dos_name = nullptr;
  if (path.compare(0, 4, "\\\\.\\") == 0) {
    dos_name = machine_.FindDosName(path.substr(4));
  }
  const Device* device =
      dos_name != nullptr ? machine_.FindDevice(dos_name->target) : nullptr;
  if (device == nullptr || (device->kind == DeviceKind::kDriverAdapter &&
                            !machine_.driver_installed)) {
    Failed(kErrorFileNotFound);
    return kInvalidHandle;
  }
  if (device->kind == DeviceKind::kDisk) {
    const PhysicalDrive* drive = machine_.FindDrive(device->drive_number);
    if (drive == nullptr ||
        (drive->virtual_disk && !machine_.driver_installed)) {
      Failed(kErrorFileNotFound);
      return kInvalidHandle;
    }
    if (drive->refuse_open) {
      Failed(kErrorAccessDenied);
      return kInvalidHandle;
    }
  }
  OpenObject object;
  object.path = path;
  object.object_name = device->object_name;
  object.access = desired_access;
  Succeed();
  // An open that succeeds clears the last error, as CreateFile does on
  // Windows: a later GetLastError no longer shows an earlier failure.
  last_error_ = 0;
  return AddHandle(std::move(object));
}

bool SimPlatform::DeviceIoControl(Handle device, std::uint32_t code, void* in,
                                  std::uint32_t in_size, void* out,
                                  std::uint32_t out_size,
                                  std::uint32_t* bytes_returned) {
  auto it = handles_.find(device);
  CallRecord record = Record("DeviceIoControl", code, in_size, out_size);
  if (it != handles_.end()) record.text = it->second.path;
  if (in != nullptr && in_size > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    record.bytes.assign(bytes, bytes + in_size);
  }
  if (bytes_returned != nullptr) *bytes_returned = 0;
  if (Begin(std::move(record))) return false;
  if (it == handles_.end() || it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  const Device* found = machine_.FindDevice(it->second.object_name);
  if (found == nullptr) {
    Failed(kErrorDeviceGone);
    return false;
  }
  if ((in == nullptr && in_size > 0) || (out == nullptr && out_size > 0)) {
    Failed(kErrorNoAccess);
    return false;
  }
  // The access bits of the control code must have been asked for at open,
  // as Windows checks them.
  std::uint32_t required = (code >> 14) & 3;
  if (((required & 1) != 0 && !CanRead(it->second.access)) ||
      ((required & 2) != 0 && !CanWrite(it->second.access))) {
    Failed(kErrorAccessDenied);
    return false;
  }
  Device target = *found;  // the request may change the machine's devices
  std::uint32_t returned = 0;
  std::uint32_t error = DeviceControl(machine_, target, code, in, in_size, out,
                                      out_size, &returned);
  if (error != 0) {
    Failed(error);
    return false;
  }
  if (bytes_returned != nullptr) *bytes_returned = returned;
  Succeed();
  return true;
}

bool SimPlatform::CloseHandle(Handle handle) {
  if (Begin(Record("CloseHandle", static_cast<std::uint32_t>(handle)))) {
    return false;
  }
  if (handle == kSimStdInput || handle == kSimStdOutput ||
      handle == kSimStdError) {
    Succeed();
    return true;
  }
  auto it = handles_.find(handle);
  if (it == handles_.end() || it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  handles_.erase(it);
  Succeed();
  return true;
}

std::uint32_t SimPlatform::GetLastError() { return last_error_; }

std::uint32_t SimPlatform::QueryDosDeviceA(const char* device_name,
                                           char* target_path,
                                           std::uint32_t max_chars) {
  CallRecord record = Record("QueryDosDeviceA", max_chars);
  record.text = TextOf(device_name);
  if (Begin(std::move(record))) return 0;
  // The answer is a list of texts, each with its NUL, and one more NUL.
  std::string answer;
  if (device_name == nullptr) {
    for (const DosName& dos_name : machine_.dos_names) {
      answer += dos_name.name + '\0';
    }
  } else {
    const DosName* dos_name = machine_.FindDosName(device_name);
    if (dos_name == nullptr) {
      Failed(kErrorFileNotFound);
      return 0;
    }
    answer = dos_name->target + '\0';
  }
  answer += '\0';
  if (answer.size() > max_chars) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  if (target_path == nullptr) {
    Failed(kErrorInvalidParameter);
    return 0;
  }
  std::memcpy(target_path, answer.data(), answer.size());
  Succeed();
  return static_cast<std::uint32_t>(answer.size());
}

bool SimPlatform::GetVersionExA(OsVersionInfo* info) {
  if (Begin(Record("GetVersionExA",
                   info != nullptr ? info->dwOSVersionInfoSize : 0))) {
    return false;
  }
  if (info == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  if (info->dwOSVersionInfoSize != kOsVersionInfoSize &&
      info->dwOSVersionInfoSize != kOsVersionInfoExSize) {
    Failed(kErrorInsufficientBuffer);
    return false;
  }
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  if (machine_.is_nt) {  // Windows XP SP3
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = kVerPlatformWin32Nt;
    std::strcpy(info->szCSDVersion, "Service Pack 3");
  } else {  // Windows 98 SE
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 10;
    info->dwBuildNumber = 0x040A08AE;
    info->dwPlatformId = 1;  // VER_PLATFORM_WIN32_WINDOWS
    std::strcpy(info->szCSDVersion, " A ");
  }
  Succeed();
  return true;
}

int SimPlatform::MultiByteToWideChar(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const char* multi_byte, int multi_byte_len,
                                     std::uint16_t* wide, int wide_len) {
  CallRecord record = Record("MultiByteToWideChar", code_page,
                             static_cast<std::uint32_t>(multi_byte_len),
                             static_cast<std::uint32_t>(wide_len));
  if (multi_byte != nullptr && multi_byte_len == -1) {
    record.text = multi_byte;
  } else if (multi_byte != nullptr && multi_byte_len > 0) {
    record.text.assign(multi_byte, static_cast<std::size_t>(multi_byte_len));
  }
  if (Begin(std::move(record))) return 0;
  std::uint32_t error = 0;
  int result = MultiByteToWide(ResolveCodePage(code_page), flags, multi_byte,
                               multi_byte_len, wide, wide_len, &error);
  if (result == 0) {
    Failed(error);
  } else {
    Succeed();
  }
  return result;
}

int SimPlatform::WideCharToMultiByte(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const std::uint16_t* wide, int wide_len,
                                     char* multi_byte, int multi_byte_len) {
  CallRecord record = Record("WideCharToMultiByte", code_page,
                             static_cast<std::uint32_t>(wide_len),
                             static_cast<std::uint32_t>(multi_byte_len));
  if (wide != nullptr) {
    std::size_t n = 0;
    if (wide_len == -1) {
      while (wide[n] != 0) ++n;
    } else if (wide_len > 0) {
      n = static_cast<std::size_t>(wide_len);
    }
    for (std::size_t i = 0; i < n; ++i) {
      record.bytes.push_back(static_cast<std::uint8_t>(wide[i]));
      record.bytes.push_back(static_cast<std::uint8_t>(wide[i] >> 8));
    }
  }
  if (Begin(std::move(record))) return 0;
  std::uint32_t error = 0;
  int result = WideToMultiByte(ResolveCodePage(code_page), flags, wide,
                               wide_len, multi_byte, multi_byte_len, &error);
  if (result == 0) {
    Failed(error);
  } else {
    Succeed();
  }
  return result;
}

const char* SimPlatform::GetCommandLineA() {
  // Cannot fail on Windows, so no rule applies.
  calls_.push_back(Record("GetCommandLineA"));
  Succeed();
  return command_line_.c_str();
}

Handle SimPlatform::FindFirstFileA(const char* file_name, FindData* data) {
  CallRecord record = Record("FindFirstFileA");
  record.text = TextOf(file_name);
  if (Begin(std::move(record))) return kInvalidHandle;
  std::string name = TextOf(file_name);
  if (data == nullptr) {
    Failed(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  // Plain names only: the simulated machine matches no wildcards.
  HostFileInfo info;
  std::uint32_t error =
      name.empty() || name.find_first_of("*?") != std::string::npos
          ? kErrorFileNotFound
          : StatHostFile(ResolveHostPath(current_directory_, name), &info);
  if (error != 0) {
    Failed(error);
    return kInvalidHandle;
  }
  *data = FindData{};
  data->dwFileAttributes =
      info.directory ? kFileAttributeDirectory : kFileAttributeArchive;
  data->ftCreationTime = ToFileTime(info.write_time);
  data->ftLastAccessTime = ToFileTime(info.access_time);
  data->ftLastWriteTime = ToFileTime(info.write_time);
  data->nFileSizeHigh = static_cast<std::uint32_t>(info.size >> 32);
  data->nFileSizeLow = static_cast<std::uint32_t>(info.size);
  std::size_t slash = name.find_last_of("\\/");
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  base.resize(std::min(base.size(), sizeof data->cFileName - 1));
  std::memcpy(data->cFileName, base.c_str(), base.size() + 1);
  OpenObject object;
  object.find = true;
  object.path = name;
  Succeed();
  return AddHandle(std::move(object));
}

bool SimPlatform::FindClose(Handle find) {
  if (Begin(Record("FindClose", static_cast<std::uint32_t>(find)))) {
    return false;
  }
  auto it = handles_.find(find);
  if (it == handles_.end() || !it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  handles_.erase(it);
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToLocalFileTime(const FileTime* file_time,
                                          FileTime* local_file_time) {
  CallRecord record = Record("FileTimeToLocalFileTime");
  if (file_time != nullptr) {
    record.a = file_time->dwLowDateTime;
    record.b = file_time->dwHighDateTime;
  }
  if (Begin(std::move(record))) return false;
  if (file_time == nullptr || local_file_time == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  // The simulated machine's clock runs on UTC.
  *local_file_time = *file_time;
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToDosDateTime(const FileTime* file_time,
                                        std::uint16_t* fat_date,
                                        std::uint16_t* fat_time) {
  CallRecord record = Record("FileTimeToDosDateTime");
  if (file_time != nullptr) {
    record.a = file_time->dwLowDateTime;
    record.b = file_time->dwHighDateTime;
  }
  if (Begin(std::move(record))) return false;
  if (file_time == nullptr || fat_date == nullptr || fat_time == nullptr ||
      !FileTimeToDos(FromFileTime(*file_time), fat_date, fat_time)) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  Succeed();
  return true;
}

Handle SimPlatform::GetStdHandle(std::uint32_t std_handle) {
  if (Begin(Record("GetStdHandle", std_handle))) return kInvalidHandle;
  Handle handle = kInvalidHandle;
  if (std_handle == kStdInputHandle) handle = kSimStdInput;
  if (std_handle == kStdOutputHandle) handle = kSimStdOutput;
  if (std_handle == kStdErrorHandle) handle = kSimStdError;
  if (handle == kInvalidHandle) {
    Failed(kErrorInvalidHandle);
  } else {
    Succeed();
  }
  return handle;
}

std::uint32_t SimPlatform::GetFileType(Handle file) {
  if (Begin(Record("GetFileType", static_cast<std::uint32_t>(file)))) {
    return kFileTypeUnknown;
  }
  std::uint32_t type = kFileTypeUnknown;
  if (SimStream* stream = StreamOf(file)) {
    type = stream->IsConsole() ? kFileTypeChar : kFileTypePipe;
  } else if (file == kSimStdInput) {
    type = kFileTypeChar;
  } else {
    auto it = handles_.find(file);
    if (it != handles_.end() && !it->second.find) type = kFileTypeDisk;
  }
  if (type == kFileTypeUnknown) {
    Failed(kErrorInvalidHandle);
  } else {
    Succeed();
  }
  return type;
}

bool SimPlatform::WriteFile(Handle file, const void* buffer,
                            std::uint32_t bytes_to_write,
                            std::uint32_t* bytes_written) {
  CallRecord record =
      Record("WriteFile", static_cast<std::uint32_t>(file), bytes_to_write);
  if (buffer != nullptr) {
    record.text.assign(static_cast<const char*>(buffer), bytes_to_write);
  }
  if (bytes_written != nullptr) *bytes_written = 0;
  if (Begin(std::move(record))) return false;
  SimStream* stream = StreamOf(file);
  if (stream == nullptr) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  if (buffer == nullptr && bytes_to_write > 0) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  std::uint32_t written = 0;
  std::uint32_t error = 0;
  bool ok = stream->Write(buffer, bytes_to_write, &written, &error);
  if (bytes_written != nullptr) *bytes_written = written;
  if (!ok) {
    Failed(error);
    return false;
  }
  Succeed();
  return true;
}

bool SimPlatform::GetModuleHandleExA(std::uint32_t flags, const void* address,
                                     Handle* module) {
  if (Begin(Record("GetModuleHandleExA", flags))) {
    if (module != nullptr) *module = 0;
    return false;
  }
  if (module == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  *module = 0;
  // By name, only the process's own module (a null name) is known; it is
  // the module that holds this code, since everything is linked in.
  static const int kOwnModuleMarker = 0;
  const void* lookup = (flags & kGetModuleHandleExFlagFromAddress) != 0
                           ? address
                       : address == nullptr ? &kOwnModuleMarker
                                            : nullptr;
  std::uintptr_t base = 0;
  if (lookup == nullptr || !HostModuleBase(lookup, &base)) {
    Failed(kErrorModuleNotFound);
    return false;
  }
  *module = base;
  Succeed();
  return true;
}

std::uint32_t SimPlatform::GetModuleFileNameA(Handle /*module*/,
                                              char* file_name,
                                              std::uint32_t size) {
  if (Begin(Record("GetModuleFileNameA", size))) return 0;
  // Every module of the simulated process reports the process's own image:
  // it is a Windows process, whatever host runs it.
  std::size_t length = std::strlen(kSimModuleFileName);
  if (size == 0 || file_name == nullptr) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  if (length >= size) {
    // Truncated and terminated; the result is the size and the last error
    // says so, as on Windows Vista and later.
    std::memcpy(file_name, kSimModuleFileName, size - 1);
    file_name[size - 1] = '\0';
    Succeed();
    calls_.back().error = kErrorInsufficientBuffer;
    last_error_ = kErrorInsufficientBuffer;
    return size;
  }
  std::memcpy(file_name, kSimModuleFileName, length + 1);
  Succeed();
  return static_cast<std::uint32_t>(length);
}

const char* SimPlatform::CharNextA(const char* current) {
  return NextChar(machine_.code_page, current);
}

bool SimPlatform::CharToOemA(const char* source, char* destination) {
  CallRecord record = Record("CharToOemA");
  record.text = TextOf(source);
  if (Begin(std::move(record))) return false;
  if (source == nullptr || destination == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  AnsiToOem(machine_.code_page, source, destination);
  Succeed();
  return true;
}

std::uintptr_t SimPlatform::ShellExecuteA(
    Handle /*window*/, const char* /*operation*/, const char* file,
    const char* parameters, const char* /*directory*/, int /*show_command*/) {
  CallRecord record = Record("ShellExecuteA");
  record.text = TextOf(parameters);
  record.text2 = TextOf(file);
  if (Begin(std::move(record))) {
    std::uint32_t error = calls_.back().error;
    return error <= 32 ? error : 0;
  }
  // The shell answers for the start alone. A started devcon.exe then does
  // its work on the machine; whether that works out (the driver may already
  // be in the state asked for) is devcon's own business and only shows in
  // the launch record, as the caller of the shell never learns it either.
  Launch launch;
  launch.file = TextOf(file);
  launch.parameters = TextOf(parameters);
  launch.result = machine_.shell_result;
  calls_.back().a = static_cast<std::uint32_t>(launch.result);
  if (launch.result <= 32) {
    Failed(launch.result == 0 ? kErrorNotEnoughMemory
                              : static_cast<std::uint32_t>(launch.result));
  } else {
    launch.outcome = SameTextIgnoringCase(launch.file, "devcon.exe")
                         ? RunDevcon(machine_, launch.parameters)
                         : "started";
    Succeed();
  }
  machine_.launches.push_back(launch);
  return launch.result;
}

}  // namespace dorvane::sim
