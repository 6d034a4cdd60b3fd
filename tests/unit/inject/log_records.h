// The shape of an error log: how many whole records it holds, or "torn" when any part of it is
// not a whole record (a record cut short, bytes between records, a separator missing).
#pragma once

#include <string>
#include <string_view>

inline std::string LogShape(std::string_view log) {
  constexpr std::string_view kBanner = "***********************ERROR********************************\r\n";
  constexpr std::string_view kObject = "\r\nError Object created:\r\n--------------------\r\n";
  constexpr std::string_view kRule = "--------------------\r\n";
  constexpr std::size_t kFields = 23, kLabel = 17;
  if (log.empty()) return "none";
  std::size_t records = 0;
  while (!log.empty()) {
    if (records > 0) {
      if (log.substr(0, 2) != "\r\n") return "torn";
      log.remove_prefix(2);
    }
    if (log.substr(0, kBanner.size()) != kBanner) return "torn";
    std::size_t object = log.find(kObject);
    if (object == std::string_view::npos) return "torn";
    log.remove_prefix(object + kObject.size());
    for (std::size_t i = 0; i < kFields; ++i) {
      std::size_t end = log.find("\r\n");
      if (end == std::string_view::npos || end < kLabel || log[kLabel - 1] != ':') return "torn";
      log.remove_prefix(end + 2);
    }
    if (log.substr(0, kRule.size()) != kRule) return "torn";
    log.remove_prefix(kRule.size());
    ++records;
  }
  return std::to_string(records) + " whole";
}
