#include "app/disk_commands.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "adapter/control_messages.h"
#include "adapter/virtual_disk_requests.h"
#include "app/adapter_command_frame.h"
#include "app/int_conversion.h"
#include "runtime/format.h"

namespace dorvane {
namespace {

// One create command: where its backing name and size come from.
struct CreateCommand {
  const char* word;
  const char* sub_word;
  const char* name_prefix;    // put before argument name_argument
  std::size_t name_argument;  // 0: the name is the prefix alone
  std::size_t size_argument;  // 0: no size, the driver takes the backing's
  std::uint32_t flags;
};

// The words whose remove form removes a disk of any kind, by its id.
constexpr std::string_view kDiskWords[] = {"vm", "pm", "file"};

// In the order the sub-words are tested.
constexpr CreateCommand kCreateCommands[] = {
    {"vm", "add", "", 3, 0, kVirtualMemoryDiskFlags},
    {"vm", "new", "", 0, 3, kVirtualMemoryDiskFlags},
    {"pm", "add", "awealloc\\??\\", 3, 0, kFileDiskFlags},
    {"pm", "new", "awealloc", 0, 3, kFileDiskFlags},
    {"file", "add", "", 3, 0, kFileDiskFlags},
    {"file", "new", "", 3, 4, kFileDiskFlags},
    {"file", "shm", "\\BaseNamedObjects\\Global\\", 3, 0,
     kSharedMemoryDiskFlags},
};

Error CreateDisk(Invocation& run, const CreateCommand& command) {
  DiskRequest& request = run.request;
  request.FileName = command.name_prefix;
  if (command.name_argument != 0) {
    request.FileName += run.args.Get(command.name_argument);
  }
  // The run's request record starts at size 0: one command per run.
  if (command.size_argument != 0) {
    Expected<std::int32_t> megabytes =
        StrToInt(run.args.Get(command.size_argument));
    if (!megabytes.has_value()) return megabytes.error();
    request.DiskSize = *megabytes * kMegabyte;
  }
  Expected<std::uint32_t> number =
      AddVirtualDisk(run.platform, request.AdapterPath, request.FileName,
                     command.flags, request.DiskSize);
  if (!number.has_value()) return number.error();
  request.DeviceNumber = *number;
  return run.out.WriteLine("device " + FormatHex(request.DeviceNumber, 6) +
                           " added ok");
}

Error RemoveDisk(Invocation& run) {
  // The id is converted before the handler is entered: a bad id is not
  // caught here.
  Expected<std::int32_t> id = StrToInt("$" + run.args.Get(3));
  if (!id.has_value()) return id.error();
  run.request.DeviceNumber = static_cast<std::uint32_t>(*id);
  return RunAdapterCommand(run, "", [&run] {
    if (Error error = RemoveVirtualDisk(run.platform, run.request.AdapterPath,
                                        run.request.DeviceNumber)) {
      return error;
    }
    return run.out.WriteLine("device removed OK");
  });
}

}  // namespace

Error RunDiskCommand(Invocation& run, std::string_view word,
                     std::string_view sub_word) {
  for (const CreateCommand& command : kCreateCommands) {
    if (word == command.word && sub_word == command.sub_word) {
      return RunAdapterCommand(run, "AddVirtualDisk:", [&run, &command] {
        return CreateDisk(run, command);
      });
    }
  }
  if (sub_word == "remove" &&
      std::find(std::begin(kDiskWords), std::end(kDiskWords), word) !=
          std::end(kDiskWords)) {
    return RemoveDisk(run);
  }
  return Error();
}

Error RunRemoveAll(Invocation& run) {
  return RunAdapterCommand(run, "list:", [&run] {
    if (Error error = RemoveVirtualDisk(run.platform, run.request.AdapterPath,
                                        AllDevices)) {
      return error;
    }
    return run.out.WriteLine("devices removed OK");
  });
}

}  // namespace dorvane
