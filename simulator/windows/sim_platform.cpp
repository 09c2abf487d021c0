// SimPlatform's own books: construction, the call records and failure
// rules, handles, standard streams, the last error. The calls themselves
// are in sim_platform_*.cpp, by family.
#include "simulator/windows/sim_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "simulator/windows/not_simulated.h"

namespace dorvane::sim {
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
                                                  "VirtualQuery",
                                                  "GetModuleFileNameA",
                                                  "CharNextA",
                                                  "CharToOemA",
                                                  "ShellExecuteA"};
  return kCalls;
}

SimPlatform::SimPlatform(SimMachine& machine, std::string command_line)
    : machine_(machine),
      command_line_(std::move(command_line)),
      out_(&default_out_),
      err_(&default_err_) {}

SimPlatform::~SimPlatform() {
  // A failure injected for a run that never reaches it tests nothing.
  for (const FailRule& rule : machine_.failures) {
    if (rule.fired || !check_failures_used_) continue;
    std::fprintf(stderr, "an injected failure was never used: %s %u\n",
                 rule.call.c_str(), rule.error);
    std::abort();
  }
}

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

CallRecord SimPlatform::Record(const char* call, std::uint32_t a,
                               std::uint32_t b, std::uint32_t c) {
  CallRecord record;
  record.call = call;
  record.a = a;
  record.b = b;
  record.c = c;
  return record;
}

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

Handle SimPlatform::AddHandle(OpenObject object) {
  Handle handle = next_handle_;
  next_handle_ += 4;
  handles_.emplace(handle, std::move(object));
  return handle;
}

SimPlatform::Handles::iterator SimPlatform::OpenHandle(const char* call,
                                                       Handle handle,
                                                       bool find) {
  auto it = handles_.find(handle);
  if (it == handles_.end() || it->second.find != find) {
    NotSimulated("%s of handle 0x%zX, which is no open %s handle", call,
                 static_cast<std::size_t>(handle), find ? "find" : "device");
  }
  return it;
}

std::uint32_t SimPlatform::GetLastError() { return last_error_; }

}  // namespace dorvane::sim
