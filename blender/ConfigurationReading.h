#pragma once

// One reading of a configuration, as the blender's user meets it: the title picture,
// the prompt for the file name, every keyframe picture loaded with its summary, and the
// error box of a file that cannot be used.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "blender/BlenderConfig.h"
#include "common/Result.h"

namespace zorvel {

// Prints the title picture, asks for the file name on `in`, reads and checks the file,
// loads and lays out every keyframe picture with its summary; an error is reported in
// the error box and ends the reading. A reading that gets past the keyframe count
// replaces the keyframe set. Returns false only when `in` ended at the prompt.
bool readConfiguration(BlenderConfig& config, std::istream& in, std::ostream& out, std::ostream& err);

// The reading's steps after the prompt: the file named read (or the failed-to-open
// box), its text checked and the pictures loaded, with the memory available. Why a
// keyframe picture cannot be read goes to `err`, under the name of `program`, and the
// reading goes on without it. Fails when the configuration cannot be used, its reason
// the file or picture it concerns and why ("day.morvaine: ..."); configLoaded says the
// same for the menu.
Result<void> readConfigurationFile(BlenderConfig& config, const std::string& fileName, std::ostream& out,
                                   std::ostream& err, const char* program);

// The reading's steps after the file was read: `text` checked and the pictures loaded.
// A file named by several entries is decoded once and shared. Before any picture is
// decoded, the pictures and (for a complete configuration) the frames to be built from
// them are held against `memoryBytes`: what does not fit is refused with one line that
// names the picture and its size, and the reading ends without a keyframe set. Fails as
// readConfigurationFile() does.
Result<void> applyConfigurationText(BlenderConfig& config, std::string_view text, std::ostream& out, std::ostream& err,
                                    const char* program, std::uint64_t memoryBytes);

// Prints the error box of a configuration that failed as `kind` says (CannotOpen: it
// failed to open; WrongFormat: it is no configuration; else: it contains errors),
// empties configFile and clears configLoaded.
void reportConfigError(BlenderConfig& config, FailureKind kind, std::ostream& out);

}  // namespace zorvel
