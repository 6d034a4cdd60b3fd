// The error log of a fuzz run, in a directory of the run's own that goes when the run ends.
// Every input starts with the directory empty and the runtime's working directory set to it.
#pragma once

#include <string>
#include <string_view>

namespace fuzz {

class ScratchLog {
 public:
  // Empties the run's directory and points the runtime's default directory at it: make it once
  // the runtime is up.
  ScratchLog();

  // The directory, ending with a path separator, and the log's path in it.
  static const std::string& Directory();
  static std::string Path();
  static bool Exists();
  // The log's bytes; empty when there is none.
  static std::string Read();
  // Puts a log of these bytes in place.
  static void Write(std::string_view bytes);
};

// The banner a record of the log starts with, and the rule it ends with.
constexpr std::string_view kLogBanner = "***********************ERROR********************************\r\n";
constexpr std::string_view kLogRecordEnd = "\r\n--------------------\r\n";

}  // namespace fuzz
