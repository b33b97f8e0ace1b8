#include "PixelImage.h"

#include <cmath>
#include <cstring>
#include <ostream>

#include "CoincidenceRemoval.h"
#include "ConsoleMenu.h"
#include "RandomGenerator.h"
#include "TextFileWriter.h"

namespace zorvel {

// Positions use a pixel spacing of one unit on every axis and the origin at (0, 0, 0).

namespace {

void reportUnwritable(const std::string& fileName, std::ostream& err) {
  err << "Could not write file \"" << fileName << "\"." << std::endl;
}

float& axisOf(Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float axisOf(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Width of the frame count in the path file's header: any 32-bit count fits.
constexpr std::size_t kFrameCountWidth = 10;

// The text of one particle's last written coordinates. A particle moves along one axis
// per frame and not at all once home, so most coordinates are written again unchanged
// and only the changed axis needs formatting.
class CoordinateLine {
 public:
  void write(const Vector3& p, TextFileWriter& file) {
    update(0, p.x);
    update(1, p.y);
    update(2, p.z);
    file.put(text_[0], length_[0]);
    file.put(' ');
    file.put(text_[1], length_[1]);
    file.put(' ');
    file.put(text_[2], length_[2]);
    file.put('\n');
  }

 private:
  void update(int axis, float value) {
    if (length_[axis] != 0 && std::memcmp(&value, &value_[axis], sizeof value) == 0) return;
    value_[axis] = value;
    length_[axis] = static_cast<std::uint8_t>(formatGeneral(text_[axis], value, 4) - text_[axis]);
  }

  float value_[3] = {};
  std::uint8_t length_[3] = {};
  char text_[3][kMaxNumberText];
};

std::string pathFileHeader(std::uint32_t pixelCount, std::int32_t frameCount) {
  std::string frames = std::to_string(frameCount);
  frames.resize(kFrameCountWidth, ' ');
  return std::to_string(pixelCount) + ' ' + frames;
}

}  // namespace

float PixelImage::velocityScalarFor(float v, double minConstant, double maxConstant) {
  const double value = minConstant + (maxConstant - minConstant) * (static_cast<double>(v) * kInverse255);
  float stored = static_cast<float>(value);
  if (value < 0.01) stored = 0.01f;
  return static_cast<float>(std::trunc(static_cast<double>(stored) * 1000.0f) * 0.001f);
}

float PixelImage::heightOffsetFor(float v, float heightMax) {
  return static_cast<float>(std::trunc(static_cast<double>(heightMax) * (static_cast<double>(v) * kInverse255))) +
         0.0f;
}

void PixelImage::applyVelocities(const float* values, std::size_t count, double minConstant, double maxConstant) {
  const std::size_t n = std::min(count, records.size());
  for (std::size_t k = 0; k < n; ++k)
    records[k].velocityScalar = velocityScalarFor(values[k], minConstant, maxConstant);
}

void PixelImage::placeOnGrid() {
  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  for (int r = 0; r < h; ++r) {
    for (int j = 0; j < w; ++j) {
      PixelParticle& p = records[static_cast<std::size_t>(r) * w + j];
      p.homePosition = {static_cast<float>((j - width * 0.5) + 0.5), static_cast<float>((r - height * 0.5) + 0.5),
                        0.0f};
      p.position = p.nextPosition = p.homePosition;
    }
  }
}

void PixelImage::applyHeightOffsets(const float* values, std::size_t count, float heightMax) {
  depth = heightMax;
  const std::size_t n = std::min(count, records.size());
  for (std::size_t k = 0; k < n; ++k) {
    PixelParticle& p = records[k];
    p.position.z = p.homePosition.z = heightOffsetFor(values[k], heightMax);
  }
}

void PixelImage::applyUniformHeight(float heightMax) {
  depth = heightMax;
  const float h = std::trunc(heightMax) + 0.0f;
  for (PixelParticle& p : records) p.position.z = p.homePosition.z = h;
}

void PixelImage::scatter(std::uint32_t seed, std::ostream& out) {
  const auto atLeastOne = [&out](float& value, char axis) {
    if (value < 1.0f) {
      value = 1.0f;
      out << "scatterVolumeScalar." << axis << " was less than 1.0. Defaulted to 1.0." << std::endl;
    }
  };
  Vector3& s = scatterVolumeScalar;
  atLeastOne(s.x, 'x');
  atLeastOne(s.y, 'y');
  atLeastOne(s.z, 'z');
  scatterVolumeSize = {static_cast<float>(static_cast<double>(width) * s.x + 2),
                       static_cast<float>(static_cast<double>(height) * s.y + 2),
                       static_cast<float>(static_cast<double>(s.z) * depth + 2)};

  RandomGenerator generator(seed);
  for (PixelParticle& p : records) p.position = p.nextPosition = randomPosition(generator);
  removeCoincidences(records, [this, &generator] { return randomPosition(generator); });
}

std::int32_t PixelImage::calculateFrames(std::ostream& out, std::ostream& err) {
  const std::string fileName = name + ".pPath";
  TextFileWriter file(fileName);
  const std::uint32_t n = static_cast<std::uint32_t>(records.size());
  file.put(pathFileHeader(n, 0));
  file.put("\n\n");

  std::vector<CoordinateLine> lines(records.size());
  std::int32_t frame = 0;
  bool moving = true;
  while (moving) {
    moving = false;
    for (PixelParticle& p : records) {
      p.position = p.nextPosition;
      p.step = Vector3{};
      if (p.position != p.homePosition) moving = true;
    }
    out << "Calculating frame " << frame << "..." << std::flush;
    file.putInteger(frame);
    file.put('\n');
    for (std::size_t k = 0; k < records.size(); ++k) {
      PixelParticle& p = records[k];
      const Vector3 d{static_cast<float>(std::fabs(static_cast<double>(p.homePosition.x) - p.position.x)),
                      static_cast<float>(std::fabs(static_cast<double>(p.homePosition.y) - p.position.y)),
                      static_cast<float>(std::fabs(static_cast<double>(p.homePosition.z) - p.position.z))};
      int axis = 0;
      if (d.y > d.x) axis = 1;
      if (d.z > axisOf(d, axis)) axis = 2;
      const double delta = static_cast<double>(axisOf(p.homePosition, axis)) - axisOf(p.position, axis);
      float step = 0.0f;
      if (d != Vector3{}) {
        step = delta > 0 ? p.velocityScalar : -p.velocityScalar;
        if (std::fabs(step) > axisOf(d, axis)) step = static_cast<float>(delta);
      }
      axisOf(p.step, axis) = step;
      p.nextPosition = {static_cast<float>(static_cast<double>(p.position.x) + p.step.x),
                        static_cast<float>(static_cast<double>(p.position.y) + p.step.y),
                        static_cast<float>(static_cast<double>(p.position.z) + p.step.z)};
      lines[k].write(p.position, file);
    }
    printLine(out, "done");
    ++frame;
  }

  file.overwriteStart(pathFileHeader(n, frame));
  if (!file.close()) reportUnwritable(fileName, err);
  return frame;
}

void PixelImage::writePixelFile(const std::string& extension, std::ostream& err) const {
  const std::string fileName = name + extension;
  TextFileWriter file(fileName);
  file.putInteger(static_cast<long long>(static_cast<int>(height)) * static_cast<int>(width));
  file.put('\n');
  const bool grey = bitsPerPixel >= 8 && bitsPerPixel <= 15;
  for (const PixelParticle& p : records) {
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
  if (!file.close()) reportUnwritable(fileName, err);
}

void PixelImage::writeConstantFile(const std::string& extension, float value, std::uint32_t count,
                                   std::ostream& err) const {
  const std::string fileName = name + extension;
  TextFileWriter file(fileName);
  file.putInteger(count);
  file.put('\n');
  for (std::uint32_t k = 0; k < count; ++k) {
    file.putFloat(value, 6);
    file.put('\n');
  }
  if (!file.close()) reportUnwritable(fileName, err);
}

}  // namespace zorvel
