// The platform calls implemented over a SimMachine: handles, failure
// injection, call recording, standard streams.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "simulator/sim_machine.h"
#include "simulator/windows/sim_stream.h"

namespace dorvane::sim {

// One recorded platform call. GetLastError and CharNextA are not recorded:
// the tool calls them for nearly every step and they would drown the log.
//
// What a and the text and bytes hold, where the tests read them:
//   CreateFileA           text the path; a access, b share mode, c disposition
//   DeviceIoControl       a the code; bytes the input as sent
//   QueryDosDeviceA       a max chars
//   GetStdHandle          a the std handle number
//   WriteFile             text the data
//   VirtualQuery          a the length; GetModuleFileNameA: a the size
struct CallRecord {
  std::string call;                   // "CreateFileA", "DeviceIoControl", ...
  std::string text;                   // its text argument (see above)
  std::uint32_t a = 0, b = 0, c = 0;  // numeric arguments (see above)
  std::vector<std::uint8_t> bytes;    // DeviceIoControl: the input buffer
  bool ok = false;
  std::uint32_t error = 0;  // last error set by a failed call
};

// The calls that failure rules can make fail (every call but GetLastError,
// GetCommandLineA and CharNextA, which cannot fail on Windows).
const std::vector<std::string>& FailableCalls();

// Standard handles are fixed pseudo values that never collide with the
// handles CreateFileA and FindFirstFileA give out (multiples of 4).
constexpr Handle kSimStdOutput = 7;
constexpr Handle kSimStdError = 11;

class SimPlatform : public Platform {
 public:
  // The machine is shared and changed by the calls; the command line is what
  // GetCommandLineA returns. Standard streams default to memory streams.
  // Each call accepts the argument patterns the tool uses and ends the
  // process on any other (not_simulated.h).
  SimPlatform(SimMachine& machine, std::string command_line);
  ~SimPlatform() override;

  // Failure rules may outlive this run (the host programs keep them in the
  // state file for later runs). Otherwise every rule must have made a call
  // fail by the time the platform goes, or the process ends saying so.
  void AllowUnusedFailures() { check_failures_used_ = false; }

  // nullptr selects the built-in memory stream again.
  void SetStreams(SimStream* out, SimStream* err);
  // Directory that FindFirstFileA resolves relative names against; default:
  // the host's current directory. The driver has none (device_control.cpp).
  void SetCurrentDirectory(std::string directory);

  const MemoryStream& out() const { return default_out_; }
  const MemoryStream& err() const { return default_err_; }
  MemoryStream& mutable_out() { return default_out_; }
  SimMachine& machine() { return machine_; }
  const std::vector<CallRecord>& calls() const { return calls_; }
  std::size_t CountCalls(const std::string& call) const;
  // Device and find handles open now (standard handles are not counted).
  std::size_t open_handles() const;

  Handle CreateFileA(const char* name, std::uint32_t desired_access,
                     std::uint32_t share_mode,
                     std::uint32_t creation_disposition,
                     std::uint32_t flags_and_attributes) override;
  bool DeviceIoControl(Handle device, std::uint32_t code, void* in,
                       std::uint32_t in_size, void* out, std::uint32_t out_size,
                       std::uint32_t* bytes_returned) override;
  bool CloseHandle(Handle handle) override;
  std::uint32_t GetLastError() override;
  std::uint32_t QueryDosDeviceA(const char* device_name, char* target_path,
                                std::uint32_t max_chars) override;
  bool GetVersionExA(OsVersionInfo* info) override;
  int MultiByteToWideChar(std::uint32_t code_page, std::uint32_t flags,
                          const char* multi_byte, int multi_byte_len,
                          std::uint16_t* wide, int wide_len) override;
  int WideCharToMultiByte(std::uint32_t code_page, std::uint32_t flags,
                          const std::uint16_t* wide, int wide_len,
                          char* multi_byte, int multi_byte_len) override;
  const char* GetCommandLineA() override;
  Handle FindFirstFileA(const char* file_name, FindData* data) override;
  bool FindClose(Handle find) override;
  bool FileTimeToLocalFileTime(const FileTime* file_time,
                               FileTime* local_file_time) override;
  bool FileTimeToDosDateTime(const FileTime* file_time, std::uint16_t* fat_date,
                             std::uint16_t* fat_time) override;
  Handle GetStdHandle(std::uint32_t std_handle) override;
  std::uint32_t GetFileType(Handle file) override;
  bool WriteFile(Handle file, const void* buffer, std::uint32_t bytes_to_write,
                 std::uint32_t* bytes_written) override;
  std::size_t VirtualQuery(const void* address, MemoryBasicInformation* buffer,
                           std::size_t length) override;
  std::uint32_t GetModuleFileNameA(Handle module, char* file_name,
                                   std::uint32_t size) override;
  const char* CharNextA(const char* current) override;
  bool CharToOemA(const char* source, char* destination) override;
  std::uintptr_t ShellExecuteA(Handle window, const char* operation,
                               const char* file, const char* parameters,
                               const char* directory,
                               int show_command) override;

 private:
  struct OpenObject {
    bool find = false;         // a find handle, else a device
    std::string object_name;   // device: its object
    std::uint32_t access = 0;  // device: desired access
  };
  using Handles = std::map<Handle, OpenObject>;

  // The record every call begins with: its name and numeric arguments.
  static CallRecord Record(const char* call, std::uint32_t a = 0,
                           std::uint32_t b = 0, std::uint32_t c = 0);

  // Records the call; consumes a failure rule first. True when the call is
  // to fail (the record and last error are set then).
  bool Begin(CallRecord record);
  // Completes the current record.
  void Succeed();
  void Failed(std::uint32_t error);
  // The machine's code page for the two the tool names.
  std::uint32_t ResolveCodePage(const char* call,
                                std::uint32_t code_page) const;
  Handle AddHandle(OpenObject object);
  // The tool hands back only the handles it holds open, each to the calls
  // of its kind.
  Handles::iterator OpenHandle(const char* call, Handle handle, bool find);
  // Standard output or error; null for INVALID_HANDLE_VALUE.
  SimStream* StandardStream(const char* call, Handle handle);

  SimMachine& machine_;
  std::string command_line_;
  MemoryStream default_out_, default_err_;
  SimStream* out_;
  SimStream* err_;
  std::string current_directory_;
  std::uint32_t last_error_ = 0;
  std::vector<CallRecord> calls_;
  Handles handles_;
  Handle next_handle_ = 0x40;
  bool check_failures_used_ = true;
};

}  // namespace dorvane::sim
