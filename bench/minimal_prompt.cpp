// The whole process's baseline: a minimal C++ program that prints the prompt QUORLFIX prints on a
// POSIX host and reads one line of answer.
#include <iostream>
#include <string>

int main() {
  std::cout << "+------------------------------+\n"
               "| Fix the quorl database now ? |\n"
               "+------------------------------+\n"
               "| (i) Confirm fix              |\n"
               "|                              |\n"
               "| [*Yes*]  [No]                |\n"
               "+------------------------------+\n"
               "Answer (Y/N, Enter = Yes): "
            << std::flush;
  std::string line;
  std::getline(std::cin, line);
  std::cout << line << '\n';
  return 0;
}
