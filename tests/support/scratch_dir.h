// A directory of a test's own under the system's temporary directory, removed with everything
// in it when the test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchDir {
 public:
  ScratchDir() {
    // Tests run as parallel processes, and a coarse clock gives two of them the same stamp: a
    // random part keeps their directories apart.
    static std::atomic<unsigned> counter{0};
    static const unsigned process = std::random_device{}();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() / ("quorlfix-test-" + std::to_string(stamp) + "-" +
                                                      std::to_string(process) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The directory with a separator at its end, as the runtime's working directory reads.
  std::string WithSeparator() const { return (path_ / "").string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

 private:
  std::filesystem::path path_;
};
