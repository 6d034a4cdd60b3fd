// Shows one message box after another and prints each answer on a line of its own, for tests of
// the button sets a program can ask for. usage: message_boxes STYLE[:CAPTION]...
// Each box has the text "text N" and, unless one is given, the caption "box N" (N from 1).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    std::size_t colon = argument.find(':');
    std::string caption = colon != std::string::npos ? argument.substr(colon + 1) : "box " + std::to_string(i);
    std::string text = "text " + std::to_string(i);
    UINT style = static_cast<UINT>(std::strtoul(argument.c_str(), nullptr, 0));
    std::printf("%d\n", MessageBoxA(nullptr, text.c_str(), caption.c_str(), style));
    std::fflush(stdout);
  }
  return 0;
}
