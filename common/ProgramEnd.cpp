#include "common/ProgramEnd.h"

#include <istream>
#include <ostream>

#include "common/MemoryBudget.h"

namespace zorvel {

int runUntilMemoryRunsOut(const char* program, std::ostream& out, std::ostream& err, const std::function<int()>& body) {
  int status = 1;
  if (attemptWithinMemory([&] { status = body(); })) return status;
  out << std::flush;
  err << program << ": not enough memory." << std::endl;
  return 1;
}

void sayFarewell(std::istream& in, std::ostream& out, const char* program, EnterPrompt prompt) {
  out << "Thank you for using " << program << ". Please come again." << std::endl;
  if (prompt == EnterPrompt::Line)
    out << "Press <ENTER> to exit." << std::endl;
  else
    out << "Press <ENTER> to exit..." << std::flush;
  in.get();
}

}  // namespace zorvel
