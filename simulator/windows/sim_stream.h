// Where the simulated process's standard output and error go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvane::sim {

class SimStream {
 public:
  virtual ~SimStream() = default;
  // False with a Windows error number when the write fails.
  virtual bool Write(const void* data, std::uint32_t size,
                     std::uint32_t* written, std::uint32_t* error) = 0;
  // GetFileType's answer: FILE_TYPE_CHAR for a console, FILE_TYPE_DISK for
  // a file, FILE_TYPE_PIPE for a pipe.
  virtual std::uint32_t FileType() const = 0;
};

// Collects what is written, in memory.
class MemoryStream : public SimStream {
 public:
  explicit MemoryStream(bool console = false) : console_(console) {}
  bool Write(const void* data, std::uint32_t size, std::uint32_t* written,
             std::uint32_t* error) override;
  std::uint32_t FileType() const override;
  void set_console(bool console) { console_ = console; }
  const std::string& text() const { return text_; }
  std::vector<std::uint32_t> write_sizes;  // one entry per WriteFile call
  // A write takes at most this many bytes and says so, as WriteFile may;
  // 0: it succeeds and takes nothing.
  std::uint32_t max_write = UINT32_MAX;

 private:
  bool console_;
  std::string text_;
};

// Writes all of text; false when the stream fails.
bool WriteText(SimStream& stream, const std::string& text);

}  // namespace dorvane::sim
