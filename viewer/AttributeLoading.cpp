#include "viewer/AttributeLoading.h"

#include "common/GreyLevel.h"
#include "common/TextScanner.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

// Opens a file named for an attribute stage and checks its count; hands the rest of
// the text to `read`, which fails with WrongFormat when the values do not fit.
template <class T, class Read>
Result<T> readStage(const std::string& fileName, std::uint32_t pixelCount, const char* unreadable, Read read) {
  if (fileName.empty()) return failure(FailureKind::Undefined, "undefined");
  const Result<FileText> text = readWholeFile(fileName);
  if (!text) return text.failure();
  TextScanner scan(text->view());
  std::uint32_t count = 0;
  scan.integer(count);
  if (count != pixelCount)
    return failure(FailureKind::CountMismatch, "counts " + std::to_string(count) + " pixels where the pPath-file has " +
                                                   std::to_string(pixelCount));
  T values;
  if (!read(scan, values)) return failure(FailureKind::WrongFormat, unreadable);
  return values;
}

}  // namespace

float pixelScaleFor(float v, double min, double max) {
  return static_cast<float>(min + (max - min) * (static_cast<double>(v) * kInverse255));
}

Result<PixelColours> readColourFile(const std::string& fileName, std::uint32_t n) {
  const char* const unreadable = "holds neither one nor four whole numbers per pixel";
  return readStage<PixelColours>(fileName, n, unreadable, [n](TextScanner& scan, PixelColours& colours) {
    // One value per pixel is a grey picture's file; four are R, G, B, A.
    std::vector<std::int32_t> values;
    values.reserve(std::size_t{n} * 4);
    std::int32_t v;
    while (values.size() <= std::size_t{n} * 4 && scan.integer(v)) values.push_back(v);
    if (!scan.atEnd() && values.size() <= std::size_t{n} * 4) return false;
    const bool grey = values.size() == n;
    if (!grey && values.size() != std::size_t{n} * 4) return false;
    const std::size_t stride = grey ? 1 : 4;
    for (auto* channel : {&colours.red, &colours.green, &colours.blue, &colours.alpha}) channel->resize(n);
    for (std::uint32_t k = 0; k < n; ++k) {
      const std::int32_t* v = values.data() + k * stride;
      colours.red[k] = v[0];
      colours.green[k] = grey ? v[0] : v[1];
      colours.blue[k] = grey ? v[0] : v[2];
      colours.alpha[k] = grey ? 255 : v[3];
    }
    return true;
  });
}

Result<std::vector<std::int32_t>> readOpacityFile(const std::string& fileName, std::uint32_t n) {
  return readStage<std::vector<std::int32_t>>(fileName, n, "holds fewer whole numbers than its count",
                                              [n](TextScanner& scan, std::vector<std::int32_t>& values) {
                                                values.resize(n);
                                                for (std::int32_t& v : values)
                                                  if (!scan.integer(v)) return false;
                                                return true;
                                              });
}

Result<std::vector<float>> readScaleFile(const std::string& fileName, std::uint32_t n, double min, double max) {
  const char* const unreadable = "holds fewer numbers than its count";
  return readStage<std::vector<float>>(fileName, n, unreadable, [=](TextScanner& scan, std::vector<float>& values) {
    values.resize(n);
    for (float& v : values) {
      if (!scan.number(v)) return false;
      v = pixelScaleFor(v, min, max);
    }
    return true;
  });
}

}  // namespace zorvel
