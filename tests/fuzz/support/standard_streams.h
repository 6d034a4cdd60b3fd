// Standard input and output of this process replaced for one call, with real descriptors: the
// input a pipe (its whole content written and the write end closed, so that a read never waits)
// or an in-memory file, the output an in-memory file, or a pipe whose reader is gone. Afterwards
// the bytes left unread in the input and everything written are there to check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fuzz {

enum class InputKind { Pipe, File };
enum class OutputKind { File, ClosedPipe };

class StandardStreams {
 public:
  // A finding when the descriptors cannot be set up (never the input's fault).
  StandardStreams(std::string_view input, InputKind inputKind, OutputKind outputKind);
  // Puts the process's own standard input and output back.
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

  // The input's bytes not read yet. Reads them, so ask once, after the call.
  std::string Unread();
  // Everything written to standard output (nothing for a closed pipe).
  std::string Output();

 private:
  OutputKind outputKind_;
  int savedIn_ = -1;
  int savedOut_ = -1;
  int output_ = -1;  // the in-memory file, still open after standard output is put back
};

}  // namespace fuzz
