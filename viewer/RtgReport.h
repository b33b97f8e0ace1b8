#pragma once

// What the viewer prints about an RTG file: the error box of a file that cannot be
// opened, the summary of the file, a block per object, and the line that names a fault.

#include <iosfwd>
#include <string>

#include "common/Result.h"
#include "viewer/RtgObject.h"

namespace zorvel {

// An empty line and the "RTG FILE ERROR!" box on `out`; on `err` the line
// "RTG-file: <name> failed to open.".
void printRtgOpenFailure(std::ostream& out, std::ostream& err, const std::string& fileName);

// The file's summary: objects, animation frames, the four totals and the export
// attributes.
void printRtgSummary(std::ostream& out, const std::string& fileName, const RtgObject& object);

// A block per object: its name and its four counts.
void printRtgObjectInfo(std::ostream& out, const std::string& fileName, const RtgObject& object);

// "RTG-file: <name>: <what was wrong> Drawing cubes instead." on `err`.
void printRtgFault(std::ostream& err, const std::string& fileName, const Failure& fault);

}  // namespace zorvel
