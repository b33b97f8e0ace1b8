#pragma once

// Loads the cruncher's files into a ViewerScene: the path file's pixel count, the colour,
// opacity and scale files (each falling back to its default with the console lines that
// say why), and every frame of the path file. Files are read whole and parsed in memory.

#include <iosfwd>
#include <string>
#include <string_view>

#include "ViewerAttributes.h"
#include "ViewerScene.h"

namespace zorvel {

// Reads the path file's pixel count and sizes the per-pixel arrays (white, opacity 255,
// scale 1). Prints nothing; leaves the count 0 when the file cannot be read.
void sizeFromPathFile(const std::string& pathFile, ViewerScene& scene);

// The three attribute stages, in the order the viewer runs them.
void loadColourFile(const ViewerAttributes& attributes, ViewerScene& scene, std::ostream& out);
void loadOpacityFile(const ViewerAttributes& attributes, ViewerScene& scene, std::ostream& out);
void loadScaleFile(const ViewerAttributes& attributes, ViewerScene& scene, std::ostream& out);

// The caching pass. False when the path file is undefined, cannot be opened or cannot be
// played (its line says why); the caller then takes the path-file failure route. A
// truncated file keeps its complete frames, with one line saying so.
bool cachePathFile(const std::string& pathFile, ViewerScene& scene, std::ostream& out);
// The caching pass on a path file's text, already read.
bool cachePathText(std::string_view text, ViewerScene& scene, std::ostream& out);

// The drawn size for scale value v: min + (max - min) x (v / 255), in single precision.
float pixelScaleFor(float v, double min, double max);

}  // namespace zorvel
