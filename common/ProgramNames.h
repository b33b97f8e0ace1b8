#pragma once

// The four programs' names, as they name themselves in banners, window titles, reasons
// and farewells.

namespace zorvel {

constexpr const char* kCruncherName = "Zorvel-cruncher";
constexpr const char* kViewerName = "Zorvel-viewer";
constexpr const char* kBlenderName = "Morvaine";
constexpr const char* kRecorderName = "Zorvel-recorder";

}  // namespace zorvel
