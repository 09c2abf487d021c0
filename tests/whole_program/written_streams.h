// What a run meant to write to standard output or standard error, read back
// from its recorded WriteFile calls, or what actually arrived there.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "simulator/windows/sim_platform.h"

namespace dorvane::test {

// Marks where a failed write ended inside a line: the tool drops the rest
// of that line, so the next write begins a new one.
inline constexpr char kCutLine = '\x01';

// Every write to standard error (err) or output: with meant, failed ones
// too, each followed by kCutLine when it ends inside a line; else only the
// writes that succeeded. The tool writes standard output first and the
// uncaught-error report last, after asking for the error handle; every
// write before that request is standard output, whatever handle it went to.
inline std::string Written(const std::vector<sim::CallRecord>& calls, bool err,
                           bool meant) {
  std::string text;
  bool report = false;
  for (const sim::CallRecord& record : calls) {
    report = report ||
             (record.call == "GetStdHandle" && record.a == kStdErrorHandle);
    if (record.call != "WriteFile" || report != err) continue;
    if (record.ok || meant) text += record.text;
    if (!record.ok && meant && !record.text.empty() &&
        record.text.back() != '\n') {
      text += kCutLine;
    }
  }
  return text;
}

// The text cut after each CR LF; a rest without one is the last item.
inline std::vector<std::string> SplitCrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end = 0; start < text.size(); start = end + 2) {
    end = std::min(text.find("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

}  // namespace dorvane::test
