// turmcli: the converter and the program's lookups on a terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "lib/support/programstart.h"

int main(int argc, char** argv) {
  startprogram();
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = runturmcli(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
