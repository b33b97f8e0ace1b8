#include "recorder/sources/RecordingSource.h"

#include "blender/BlenderConfig.h"
#include "common/WholeFile.h"

namespace zorvel {

std::vector<std::string> inputFiles(const RecordingSource& source) {
  std::vector<std::string> files;
  const auto add = [&files](const std::string& name) {
    if (!name.empty()) files.push_back(name);
  };
  if (const auto* path = std::get_if<PathSource>(&source)) {
    for (const std::string* name :
         {&path->pathFile, &path->colourFile, &path->opacityFile, &path->scaleFile, &path->objectFile})
      add(*name);
  } else if (const auto* picture = std::get_if<PictureSource>(&source)) {
    const CruncherAttributes& c = picture->crunch;
    for (const std::string* name :
         {&picture->objectFile, &c.pColorMap, &c.pOpacityMap, &c.pVelocityMap, &c.pScaleMap, &c.pHeightMap})
      add(*name);
  } else {
    add(std::get<BlendSource>(source).configuration);
  }
  return files;
}

std::vector<std::string> filesRead(const RecordingSource& source) {
  std::vector<std::string> files = inputFiles(source);
  if (const auto* blend = std::get_if<BlendSource>(&source)) {
    const Result<FileText> text = readWholeFile(blend->configuration);
    ConfigurationText configuration;
    if (text) static_cast<void>(parseConfiguration(text->view(), configuration));
    for (const ConfigurationEntry& entry : configuration.entries) files.push_back(entry.imagePath);
    if (configuration.lastPath) files.push_back(*configuration.lastPath);
  }
  return files;
}

}  // namespace zorvel
