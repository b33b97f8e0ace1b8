#include <iostream>

#include "CruncherRun.h"

int main() { return zorvel::runCruncherProgram(std::cin, std::cout, std::cerr); }
