#pragma once

// How every program ends: the farewell of the console programs, and the one way a run
// ends when memory runs out.

#include <functional>
#include <iosfwd>

namespace zorvel {

// Runs a program's `body`, which returns the exit status. Should memory run out
// anywhere in it, what `out` holds is flushed, "<program>: not enough memory." goes to
// `err`, and the status is 1.
int runUntilMemoryRunsOut(const char* program, std::ostream& out, std::ostream& err, const std::function<int()>& body);

// How the farewell asks for ENTER: a line "Press <ENTER> to exit.", or the prompt
// "Press <ENTER> to exit..." without a line end.
enum class EnterPrompt { Line, Dots };

// "Thank you for using <program>. Please come again." as a line, the ENTER prompt, then
// one character read from `in`.
void sayFarewell(std::istream& in, std::ostream& out, const char* program, EnterPrompt prompt);

}  // namespace zorvel
