#pragma once

// Loading what the viewer plays, with the viewer's console lines: the RTG object (its
// summary, object blocks and corners; the open failure and faults on the error
// stream), the sizing pass, the colour, opacity and scale files or their defaults, and
// the frame cache. The viewer prints them on standard output; the recorder on
// standard error.

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "viewer/ObjectShape.h"
#include "viewer/PathFileReader.h"
#include "viewer/ViewerAttributes.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// The counts and a line per frame as the path file is cached ("Caching frame N...done"),
// and the line that says how many frames of a cut file play.
class CachingLines : public PathCacheListener {
 public:
  explicit CachingLines(std::ostream& out);
  void counts(std::uint32_t pixels, std::int32_t frames) override;
  void frameCached(std::int32_t frame, bool complete) override;

 private:
  std::ostream& out_;
};

// The RTG stage: the object file read and reported as the viewer reports it, and its
// first object's shape when it can be drawn (else an empty shape: cubes).
ObjectShape loadObjectShape(const std::string& fileName, std::ostream& out, std::ostream& err);

// Loads everything `attributes` names into `scene` but the frames: the RTG object, the
// sizing pass and the colour, opacity and scale files or their defaults, with their
// lines. Returns the object's shape (empty: cubes).
ObjectShape loadSceneAttributes(const ViewerAttributes& attributes, ViewerScene& scene, std::ostream& out,
                                std::ostream& err, const char* program);

// Hears of nothing but a path file cut short: its line on `out`, as the viewer prints it.
class CutShortLine : public PathCacheListener {
 public:
  explicit CutShortLine(std::ostream& out);
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t frame, bool complete) override;

 private:
  std::ostream& out_;
};

// The viewer's line for a path file that cannot be played: "Attempt to open specified
// pPath-file failed.", or "pPath-file <reason>.".
void printPathFailure(std::ostream& out, const Failure& why);

// A path file that cannot be played, reported as the viewer reports it: its line on
// `out`, and why on `err` for a file that was named.
void reportPathFailure(const Failure& why, const std::string& pathFile, std::ostream& out, std::ostream& err,
                       const char* program);

// Loads everything `attributes` names into `scene`, printing on `out` and `err`, with
// `listener` hearing the caching pass; why a named file failed goes to `err` as
// "<program>: <file>: <reason>". Returns the object's shape (empty: cubes), or
// nothing, its line printed, when the path file cannot be played.
std::optional<ObjectShape> loadScene(const ViewerAttributes& attributes, ViewerScene& scene,
                                     PathCacheListener& listener, std::ostream& out, std::ostream& err,
                                     const char* program);

}  // namespace zorvel
