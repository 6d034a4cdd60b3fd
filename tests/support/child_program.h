// A program of this build started by a test as a child process of its own.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

// The command is made before fork, so that the forked child only calls Exec.
//
// When this build's programs run under an emulator (TEST_EMULATOR: QEMU's user mode running the
// 32-bit build), a program cannot start another emulated program by itself: the emulator starts
// it, and its -0 gives the program the name it is meant to see.
class ChildProgram {
 public:
  // Runs the file at `path`; the program sees `argv` as its arguments, argv[0] as its name.
  ChildProgram(const std::string& path, std::vector<std::string> argv) {
    if (argv.empty()) argv.push_back(path);
#if defined(TEST_EMULATOR)
    file_ = TEST_EMULATOR;
    words_ = {file_, "-0", argv.front(), path};
    words_.insert(words_.end(), argv.begin() + 1, argv.end());
#else
    file_ = path;
    words_ = std::move(argv);
#endif
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // Replaces the calling process with the program; returns only when that fails.
  void Exec() const { execv(file_.c_str(), pointers_.data()); }

 private:
  std::string file_;
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};
