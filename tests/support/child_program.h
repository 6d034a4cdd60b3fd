// A program of this build started by a test as a child process of its own.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <vector>

// The command is made before fork, so that the forked child only calls Exec.
//
// When this build's programs run under an emulator (TEST_EMULATOR: QEMU's user mode running the
// 32-bit build), a program cannot start another emulated program by itself: the emulator starts
// it, and its -0 gives the program the name it is meant to see.
class ChildProgram {
 public:
  // Runs the file at `path`; the program sees `argv` as its arguments, argv[0] as its name. With
  // `addressSpace`, the program may map no more than that many bytes.
  ChildProgram(const std::string& path, std::vector<std::string> argv, std::size_t addressSpace = 0)
      : addressSpace_(addressSpace) {
    if (argv.empty()) argv.push_back(path);
#if defined(TEST_EMULATOR)
    // The emulator ignores the program's own RLIMIT_AS: its emulated address space is the limit
    // instead, the program's stack (8 MiB reserved whole by default) a small part of it.
    file_ = TEST_EMULATOR;
    words_ = {file_};
    if (addressSpace_) words_.insert(words_.end(), {"-R", std::to_string(addressSpace_), "-s", "1048576"});
    words_.insert(words_.end(), {"-0", argv.front(), path});
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
  void Exec() const {
#if !defined(TEST_EMULATOR)
    if (addressSpace_) {
      rlimit limit{addressSpace_, addressSpace_};
      if (setrlimit(RLIMIT_AS, &limit) != 0) return;
    }
#endif
    execv(file_.c_str(), pointers_.data());
  }

 private:
  std::size_t addressSpace_;
  std::string file_;
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};
