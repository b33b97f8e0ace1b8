#include "recorder/sources/RecordingLoading.h"

#include "recorder/sources/BlendRecording.h"
#include "recorder/sources/PathRecording.h"
#include "recorder/sources/PictureRecording.h"

namespace zorvel {

Result<std::unique_ptr<Recording>> loadRecording(const RecordingSource& source, const LoadingSettings& settings,
                                                 std::ostream& lines, std::ostream& err) {
  if (const auto* picture = std::get_if<PictureSource>(&source))
    return loadPictureRecording(*picture, settings, lines, err);
  if (const auto* blend = std::get_if<BlendSource>(&source)) return loadBlendRecording(*blend, lines, err);
  return loadPathRecording(std::get<PathSource>(source), settings, lines, err);
}

}  // namespace zorvel
