// The command line both ways. A line of any bytes: split the Windows way, quoted back and split
// again it gives the same arguments, and an option is found in it exactly when an argument after
// the program name is the option, whole. A list of arguments (a POSIX process's, NUL-separated as
// the kernel keeps them): joined into the line GetCommandLineA answers, it splits back into the
// same list, and the runtime started with that line takes its options from those arguments
// alone. Every line is read from a buffer of exactly its size, so that a read past its end shows.
#include <fuzzer/FuzzedDataProvider.h>
#include <win32_command_line.h>
#include <win32_testing.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_session.h"
#include "tb28run/testing.h"

namespace {

using Arguments = std::vector<std::string>;

constexpr const char* kOptions[] = {"--tb28run:collect-publics", "--tb28run:gc-stress"};

// A copy of the text in memory of exactly its size (and a NUL after it when asked).
std::unique_ptr<char[]> ExactCopy(std::string_view text, bool nul) {
  auto copy = std::make_unique<char[]>(text.size() + (nul ? 1 : 0));
  std::memcpy(copy.get(), text.data(), text.size());
  if (nul) copy[text.size()] = '\0';
  return copy;
}

bool IsArgument(const Arguments& arguments, std::string_view wanted) {
  return arguments.size() > 1 && std::find(arguments.begin() + 1, arguments.end(), wanted) != arguments.end();
}

void Show(const char* what, const Arguments& arguments) {
  std::fprintf(stderr, "%s:", what);
  for (const std::string& a : arguments) std::fprintf(stderr, " [%s]", a.c_str());
  std::fprintf(stderr, "\n");
}

void CheckFound(std::string_view line, const Arguments& arguments, std::string_view option) {
  auto copy = ExactCopy(line, false);
  if (win32::HasArgument(std::string_view(copy.get(), line.size()), option) != IsArgument(arguments, option)) {
    Show("arguments", arguments);
    std::fprintf(stderr, "option [%.*s]\n", int(option.size()), option.data());
    fuzz::Finding("an option was found other than as a whole argument after the program name");
  }
}

// The program name as the line gives it back: the same name whenever one can be written; a name
// with a quote and a blank (or starting with a quote) cannot, and loses its quotes.
std::string NameGivenBack(const std::string& name) {
  bool writable =
      name.find('"') == std::string::npos || (name.front() != '"' && name.find_first_of(" \t") == std::string::npos);
  if (writable) return name;
  std::string unquoted;
  for (char c : name) {
    if (c != '"') unquoted += c;
  }
  return unquoted;
}

// The runtime started with the line (as a C string, so up to its first NUL) takes exactly the
// options the line's arguments hold.
void CheckRuntimeOptions(std::string_view line) {
  std::string_view cLine = line.substr(0, line.find('\0'));
  Arguments arguments = win32::SplitCommandLine(cLine);
  fuzz::RuntimeSession session;
  TbTestSetGcStress(0);
  auto copy = ExactCopy(cLine, true);
  static const std::uint32_t symbols[1] = {0};
  if (RTInit([](std::uint32_t) {}, 3, 0, symbols, copy.get(), 68, 0, nullptr, nullptr, 1, 10, 1, 1, 1048576, nullptr) !=
      0) {
    fuzz::Finding("RTInit refused a command line");
  }
  if ((__CollectPublics() == 1) != IsArgument(arguments, kOptions[0])) {
    fuzz::Finding("the runtime took the collect-publics option wrongly");
  }
  std::uint64_t before = TbTestCollections();
  Psz2String("one allocation");
  if ((TbTestCollections() > before) != IsArgument(arguments, kOptions[1])) {
    fuzz::Finding("the runtime took the gc-stress option wrongly");
  }
  TbTestSetGcStress(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool asList = in.ConsumeBool();
  const bool startRuntime = in.ConsumeIntegralInRange(0, 7) == 0;
  std::string option = in.ConsumeBool() ? in.ConsumeRandomLengthString(64)
                                        : kOptions[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kOptions) - 1)];
  std::string bytes = in.ConsumeRemainingBytesAsString();

  if (asList) {
    // One argument per NUL-ended run, as /proc/self/cmdline holds them.
    Arguments arguments;
    for (std::size_t at = 0; at < bytes.size();) {
      std::size_t end = std::min(bytes.find('\0', at), bytes.size());
      arguments.push_back(bytes.substr(at, end - at));
      at = end + 1;
    }
    std::vector<const char*> pointers;
    for (const std::string& a : arguments) pointers.push_back(a.c_str());
    std::string line = Win32TestQuoteArguments(pointers.data(), static_cast<int>(pointers.size()));
    auto copy = ExactCopy(line, false);
    Arguments back = win32::SplitCommandLine(std::string_view(copy.get(), line.size()));
    Arguments wanted = arguments;
    if (!wanted.empty()) wanted[0] = NameGivenBack(wanted[0]);
    if (back != wanted) {
      Show("arguments", arguments);
      std::fprintf(stderr, "line [%s]\n", line.c_str());
      Show("split back", back);
      fuzz::Finding("the quoted arguments do not split back into themselves");
    }
    for (const char* o : kOptions) CheckFound(line, arguments, o);
    CheckFound(line, arguments, option);
    if (startRuntime) CheckRuntimeOptions(line);
    return 0;
  }

  auto copy = ExactCopy(bytes, false);
  std::string_view line(copy.get(), bytes.size());
  Arguments arguments = win32::SplitCommandLine(line);
  std::string joined = win32::JoinCommandLine(arguments);
  if (win32::SplitCommandLine(joined) != arguments) {
    Show("arguments", arguments);
    std::fprintf(stderr, "joined [%s]\n", joined.c_str());
    Show("split again", win32::SplitCommandLine(joined));
    fuzz::Finding("split, quoted and split again, the line gives other arguments");
  }
  for (const char* o : kOptions) CheckFound(line, arguments, o);
  CheckFound(line, arguments, option);
  if (startRuntime) CheckRuntimeOptions(line);
  return 0;
}
