#include "cruncher/AttributeFiles.h"

#include "common/TextScanner.h"
#include "common/WholeFile.h"
#include "cruncher/TextFileWriter.h"

namespace zorvel {

Result<void> writePixelFile(const PixelImage& image, const std::string& extension) {
  TextFileWriter file(image.name + extension);
  file.putInteger(image.pixelCountOfSize());
  file.put('\n');
  const bool grey = image.bitsPerPixel >= 8 && image.bitsPerPixel <= 15;
  for (const PixelParticle& p : image.records) {
    if (grey) {
      file.putInteger(int{p.colour.red});
    } else {
      for (const std::uint8_t channel : {p.colour.red, p.colour.green, p.colour.blue, p.colour.alpha}) {
        file.putInteger(int{channel});
        file.put(' ');
      }
    }
    file.put('\n');
  }
  return file.close();
}

Result<void> writeConstantFile(const std::string& baseName, const std::string& extension, float value,
                               std::uint32_t count) {
  TextFileWriter file(baseName + extension);
  file.putInteger(count);
  file.put('\n');
  char line[kMaxNumberText + 1];
  const std::size_t length = static_cast<std::size_t>(formatGeneral(line, value, 6) - line);
  line[length] = '\n';
  for (std::uint32_t k = 0; k < count; ++k) file.put(line, length + 1);
  return file.close();
}

Result<std::vector<float>> readAttributeValues(const std::string& fileName) {
  const Result<FileText> text = readWholeFile(fileName);
  if (!text) return text.failure();
  TextScanner scan(text->view());
  std::uint32_t count = 0;
  scan.integer(count);
  std::vector<float> values;
  float value;
  while (values.size() < count && scan.number(value)) values.push_back(value);
  return values;
}

}  // namespace zorvel
