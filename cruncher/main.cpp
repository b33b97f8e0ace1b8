#include <csignal>
#include <iostream>

#include "cruncher/CruncherRun.h"

int main() {
  // A file growing past the process's file-size limit then fails to write, as on a
  // full disk, and is reported, instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  return zorvel::runCruncherProgram(std::cin, std::cout, std::cerr);
}
