#include <clocale>
#include <iostream>

#include "korvane-cli/KorvaneCli.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return korvane::ExitCode(korvane::RunKorvaneCli(arguments, std::cout, std::cerr));
}
