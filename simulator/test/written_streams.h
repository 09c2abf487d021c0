// What a run meant to write to standard output and standard error, read
// back from its recorded WriteFile calls, beside what actually arrived.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "simulator/sim_platform.h"

namespace dorvane::testing {

// Marks in `meant` where a failed write ended inside a line: the tool
// drops the rest of that line, so the next write begins a new one.
inline constexpr char kCutLine = '\x01';

struct WrittenStream {
  std::string meant;      // every write, failed ones included, kCutLine
                          // after a failed one that ends inside a line
  std::string delivered;  // the writes that succeeded
};

struct WrittenStreams {
  WrittenStream out, err;
};

// The tool writes standard output first and the uncaught-error report last,
// after asking for the error handle; every write before that request is
// standard output, whatever handle it went to.
inline WrittenStreams SplitWrites(const std::vector<sim::CallRecord>& calls) {
  WrittenStreams streams;
  bool report = false;
  for (const sim::CallRecord& record : calls) {
    if (record.call == "GetStdHandle" && record.a == kStdErrorHandle) {
      report = true;
    }
    if (record.call != "WriteFile") continue;
    WrittenStream& stream = report ? streams.err : streams.out;
    stream.meant += record.text;
    if (record.ok) {
      stream.delivered += record.text;
    } else if (!record.text.empty() && record.text.back() != '\n') {
      stream.meant += kCutLine;
    }
  }
  return streams;
}

// The text cut after each CR LF; a rest without one is the last item.
inline std::vector<std::string> SplitCrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace dorvane::testing
