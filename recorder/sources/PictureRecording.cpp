#include "recorder/sources/PictureRecording.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <sstream>

#include "common/BasicPixelImage.h"
#include "common/ConsoleText.h"
#include "common/MemoryBudget.h"
#include "common/ProgramNames.h"
#include "cruncher/MemoryFrames.h"
#include "cruncher/ParticleSetup.h"
#include "cruncher/PathFileText.h"
#include "cruncher/PixelImage.h"
#include "cruncher/RandomGenerator.h"
#include "picture/PictureReading.h"
#include "picture/PictureShrinking.h"
#include "recorder/drawing/ParticleDrawer.h"
#include "recorder/sources/ParticleBounds.h"
#include "viewer/AttributeLoading.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {

// What a recording holds a particle: the particles at their start and on each drawing
// context's way home, the colours and sizes, and each context's boxes, with what the
// renderer takes for them. Measured at 1280 x 720 in solid boxes, two contexts: 160 MB
// at its peak for 20,000 particles, 294 MB for 250,000 and 861 MB for 1,000,000, so
// about 715 bytes a particle above the rest; the figures here are a little above.
constexpr std::uint64_t kBytesPerParticle = 800;
// What it holds besides, a pixel of the picture drawn: each context's colour and depth,
// the pictures on their way to the output; and the libraries and the renderer's own.
constexpr std::uint64_t kBytesPerFramePixel = 8;
constexpr std::uint64_t kFixedBytes = 128u << 20;

// The positions of the picture's animation, computed frame by frame as the particles
// step home.
class SteppedPositions : public PositionSource {
 public:
  explicit SteppedPositions(std::vector<MovingParticle> start) : stepper_(std::move(start)) {}

  Result<void> positionsOf(std::int32_t f, float* coordinates) override {
    stepper_.writeFrame(f, coordinates);
    return {};
  }

 private:
  FrameStepper stepper_;
};

// The picture crunched: the viewer's scene of colours and sizes, the particles at their
// start, the frame count and where the picture lies at home.
class PictureRecording : public Recording {
 public:
  PictureRecording(ViewerScene scene, ObjectShape shape, std::vector<MovingParticle> start,
                   std::vector<std::int32_t> steps, bool settledLayer)
      : particles_{std::move(scene), std::move(shape), std::nullopt},
        start_(std::move(start)),
        frames_(frameCountFor(steps)) {
    // A particle home stays there: it settles from the frame it arrives in.
    if (settledLayer) particles_.settling = Settling::of(std::move(steps));
    std::vector<float> home(start_.size() * 3);
    for (std::size_t k = 0; k < start_.size(); ++k) {
      home[3 * k] = coordinateReadBack(start_[k].home.x);
      home[3 * k + 1] = coordinateReadBack(start_[k].home.y);
      home[3 * k + 2] = coordinateReadBack(start_[k].home.z);
    }
    bounds_ = pixelBounds(particles_.scene, particles_.shape, home.data());
    // A particle moves from its start towards its home one axis at a time: every
    // position of it lies in the box of those two.
    Bounds positions;
    for (const MovingParticle& m : start_) {
      positions.add(m.position);
      positions.add(m.home);
    }
    everywhere_ = pixelsWithin(positions, particles_.scene, particles_.shape);
  }

  std::int32_t frameCount() const override { return frames_; }
  Bounds homeBounds() const override { return bounds_; }
  Bounds boundsOfAllFrames() const override { return everywhere_; }
  Result<std::unique_ptr<FrameDrawer>> drawer(std::int32_t first, std::int32_t step) const override {
    return std::unique_ptr<FrameDrawer>(std::make_unique<ParticleDrawer>(
        particles_, std::make_unique<SteppedPositions>(start_), FrameTurns(frames_, first, step)));
  }

 private:
  ParticleScene particles_;
  std::vector<MovingParticle> start_;
  std::int32_t frames_;
  Bounds bounds_;      // at home
  Bounds everywhere_;  // in any frame
};

Failure aboutFile(const std::string& file, const Failure& why) { return failure(why.kind, file + ": " + why.reason); }

std::string sizeText(PictureSize size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

// A map's pixels as one grey level each: a grey map's own, a colour map's brightness.
struct GreyPixel {
  ColorRGBA colour;
};
std::vector<float> greyLevels(const TgaImage& map) {
  BasicPixelImage<GreyPixel> pixels;
  pixels.fillFromTga(map);
  std::vector<float> levels;
  levels.reserve(pixels.records.size());
  for (const GreyPixel& p : pixels.records) {
    const int level = (p.colour.red + p.colour.green + p.colour.blue) / 3;  // whole grey levels, as a map holds
    levels.push_back(static_cast<float>(level));
  }
  return levels;
}

// What the particles are made of: the picture and each map named, read and shrunk to
// the grid, maps as grey levels.
struct Pictures {
  PictureSize read;  // the picture's size as read
  PictureSize grid;  // the particles' grid
  TgaImage colour;   // shrunk to the grid
  std::optional<std::vector<float>> opacity, velocity, scale, height;
};

// A map named `file` (none when empty), of the picture's size as read, shrunk to the grid.
Result<std::optional<std::vector<float>>> readMap(const std::string& file, const Pictures& pictures,
                                                  const std::string& pictureFile) {
  if (file.empty()) return std::optional<std::vector<float>>();
  Result<TgaImage> map = readPicture(file, availableMemory());
  if (!map) return aboutFile(file, map.failure());
  if (!(sizeOf(map.value()) == pictures.read))
    return failure(FailureKind::CountMismatch, file + ": the map is " + sizeText(sizeOf(map.value())) +
                                                   " pixels, where the picture " + pictureFile + " is " +
                                                   sizeText(pictures.read));
  Result<TgaImage> shrunk = shrinkPicture(std::move(map.value()), pictures.grid);
  if (!shrunk) return aboutFile(file, shrunk.failure());
  return std::optional<std::vector<float>>(greyLevels(shrunk.value()));
}

// The picture and its maps, with the budget for the particles checked before anything
// is set up for them.
Result<Pictures> readPictures(const PictureSource& o, const LoadingSettings& settings, std::ostream& lines) {
  const CruncherAttributes& a = o.crunch;
  std::uint32_t held = 1;
  Result<TgaImage> colour = readPicture(a.pColorMap, availableMemory(), &held);
  if (!colour) return aboutFile(a.pColorMap, colour.failure());
  Pictures pictures;
  pictures.read = sizeOf(colour.value());
  if (pictures.read.pixels() == 0) return failure(FailureKind::Malformed, a.pColorMap + ": a picture without pixels");
  pictures.grid = sizeWithin(pictures.read, o.particles);
  const std::uint64_t particles = pictures.grid.pixels();
  const std::uint64_t needed = pictureRecordingBytes(particles, settings.width, settings.height, 2);
  const std::uint64_t available = availableMemory();
  if (needed > available)
    return failure(FailureKind::TooLarge, a.pColorMap + ": " + std::to_string(particles) + " particles take about " +
                                              megabytesNeeded(needed) + " of memory to record, but " +
                                              megabytesAvailable(available) + " are available; fewer --particles fit");
  lines << "Picture: " << a.pColorMap << ", " << sizeText(pictures.read) << " pixels" << std::endl;
  if (held > 1) lines << "It holds " << held << " pictures (frames or pages); the first is recorded" << std::endl;
  lines << "Particles: " << sizeText(pictures.grid) << " = " << particles
        << (pictures.grid == pictures.read ? "" : " (shrunk to fit --particles " + std::to_string(o.particles) + ")")
        << std::endl;
  Result<TgaImage> shrunk = shrinkPicture(std::move(colour.value()), pictures.grid);
  if (!shrunk) return aboutFile(a.pColorMap, shrunk.failure());
  pictures.colour = std::move(shrunk.value());
  for (const auto& [file, levels] : {std::pair{&a.pOpacityMap, &pictures.opacity},
                                     {&a.pVelocityMap, &pictures.velocity},
                                     {&a.pScaleMap, &pictures.scale},
                                     {&a.pHeightMap, &pictures.height}}) {
    Result<std::optional<std::vector<float>>> map = readMap(*file, pictures, a.pColorMap);
    if (!map) return map.failure();
    *levels = std::move(map.value());
  }
  return pictures;
}

// The places the scattering draws from on one axis of `size` units, scaled by `scalar`.
std::uint64_t placesAlong(float size, float scalar) {
  const double cells = std::trunc(static_cast<double>(size) * scalar);
  return cells < 1 ? 1 : static_cast<std::uint64_t>(std::min(cells, RandomGenerator::kMaxDraw + 1.0));
}

// The particles set up as the cruncher's run sets them up from these pictures and
// settings; a failure when the scatter volume has fewer places than particles, which
// could never all be told apart.
Result<PixelImage> setUp(const PictureSource& o, const Pictures& pictures, std::uint32_t seed, std::ostream& lines) {
  const CruncherAttributes& a = o.crunch;
  PixelImage colour;
  colour.name = a.pColorMap;
  colour.fillFromTga(pictures.colour);
  colour.pixelCount = static_cast<std::uint32_t>(colour.pixelCountOfSize());
  ParticleSetup setup;
  setup.scatterVolumeScalar = a.scatterVolumeScalar;
  // As the velocity file holds them: the map's levels with MIN and MAX, or the constant.
  if (pictures.velocity) {
    setup.velocityValues = pictures.velocity;
    setup.velocityMin = a.pVelocityMinConstant;
    setup.velocityMax = a.pVelocityMaxConstant;
  } else {
    setup.velocityValues = std::vector<float>(colour.records.size(), static_cast<float>(a.pVelocityConstant));
    setup.velocityMin = setup.velocityMax = a.pVelocityConstant;
  }
  setup.heightLevels = pictures.height;
  setup.uniformHeight = !pictures.height;
  setup.heightMax = a.pHeightMaxConstant;

  const Vector3& s = a.scatterVolumeScalar;
  const std::uint64_t places = placesAlong(colour.width, s.x) * placesAlong(colour.height, s.y) *
                               placesAlong(static_cast<float>(static_cast<int>(a.pHeightMaxConstant)), s.z);
  if (places < colour.records.size())
    return failure(FailureKind::TooLarge, a.pColorMap + ": its " + std::to_string(colour.records.size()) +
                                              " particles cannot scatter over the " + std::to_string(places) +
                                              " places of the scatter volume; a larger --scatter makes room");
  setUpParticles(colour, setup, seed, lines);
  return colour;
}

// The viewer's scene of the particles: colours as the colour file gives them, opacity
// and size from their maps or the constant.
ViewerScene sceneOf(const PictureSource& o, const PixelImage& colour, const Pictures& pictures) {
  ViewerScene scene;
  scene.allocatePixels(static_cast<std::uint32_t>(colour.records.size()));
  for (std::size_t k = 0; k < colour.records.size(); ++k) {
    const ColorRGBA& c = colour.records[k].colour;
    scene.pixelRed[k] = c.red;
    scene.pixelGreen[k] = c.green;
    scene.pixelBlue[k] = c.blue;
    scene.pixelAlpha[k] = pictures.opacity ? static_cast<std::int32_t>((*pictures.opacity)[k])
                                           : static_cast<std::int32_t>(o.crunch.pOpacityConstant);
    if (pictures.scale) scene.pixelScale[k] = pixelScaleFor((*pictures.scale)[k], o.scaleMin, o.scaleMax);
  }
  return scene;
}

// A picture's transparency, where it has any: each particle's opacity times its pixel's
// alpha, and the particles of pixels with alpha 0 left out (the particles of every
// other pixel keep their places and their way home). Fails when no pixel is left.
Result<void> applyTransparency(const PictureSource& o, const TgaImage& picture, ViewerScene& scene,
                               std::vector<MovingParticle>& particles, std::ostream& lines) {
  if (!o.transparency || picture.info.bitsPerPixel != 32 || picture.info.alphaBits == 0) return {};
  const auto alphaOf = [&picture](std::size_t k) { return picture.pixels[4 * k + 3]; };
  std::size_t kept = 0, opaque = 0;
  for (std::size_t k = 0; k < particles.size(); ++k) {
    kept += alphaOf(k) != 0;
    opaque += alphaOf(k) == 255;
  }
  if (opaque == particles.size()) return {};
  if (kept == 0)
    return failure(FailureKind::Malformed, o.crunch.pColorMap +
                                               ": every pixel is transparent: nothing to record (--transparency "
                                               "off makes every pixel a particle)");
  ViewerScene shown;
  shown.allocatePixels(static_cast<std::uint32_t>(kept));
  std::vector<MovingParticle> shownParticles;
  shownParticles.reserve(kept);
  for (std::size_t k = 0, to = 0; k < particles.size(); ++k) {
    const std::uint8_t alpha = alphaOf(k);
    if (alpha == 0) continue;
    shown.pixelRed[to] = scene.pixelRed[k];
    shown.pixelGreen[to] = scene.pixelGreen[k];
    shown.pixelBlue[to] = scene.pixelBlue[k];
    shown.pixelAlpha[to] = (scene.pixelAlpha[k] * alpha + 127) / 255;
    shown.pixelScale[to] = scene.pixelScale[k];
    shownParticles.push_back(particles[k]);
    ++to;
  }
  lines << "Transparent: " << particles.size() - kept << " pixels left out, " << kept << " particles" << std::endl;
  scene = std::move(shown);
  particles = std::move(shownParticles);
  return {};
}

// With a duration asked for, the velocity that comes nearest to it for every particle;
// said on `err` when even the fastest or the slowest is too far from it.
void chooseVelocity(const PictureSource& o, int framesPerSecond, std::vector<MovingParticle>& particles,
                    std::ostream& lines, std::ostream& err) {
  if (!o.durationSeconds) return;
  const std::int64_t wanted = std::max<std::int64_t>(1, std::llround(*o.durationSeconds * framesPerSecond));
  const double velocity = velocityForFrames(particles, wanted);
  const float scalar = PixelImage::velocityScalarFor(0.0f, velocity, velocity);
  for (MovingParticle& m : particles) m.velocity = scalar;
  std::ostringstream seconds;
  seconds << static_cast<double>(estimatedFrames(particles, velocity)) / framesPerSecond;
  lines << "Velocity: " << velocity << " (for --duration " << *o.durationSeconds << ")" << std::endl;
  const bool fastest = velocity == kVelocityRange.high, slowest = velocity == kVelocityRange.low;
  const std::int64_t frames = estimatedFrames(particles, velocity);
  if ((fastest && frames > wanted) || (slowest && frames < wanted))
    err << kRecorderName << ": --duration " << *o.durationSeconds << ": even at velocity " << velocity
        << " the flight home takes about " << seconds.str() << " s" << std::endl;
}

}  // namespace

std::uint64_t pictureRecordingBytes(std::uint64_t particles, int width, int height, int contexts) {
  const std::uint64_t framePixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  return kFixedBytes + particles * kBytesPerParticle +
         framePixels * kBytesPerFramePixel * static_cast<std::uint64_t>(contexts + 1);
}

Result<std::unique_ptr<Recording>> loadPictureRecording(const PictureSource& o, const LoadingSettings& settings,
                                                        std::ostream& lines, std::ostream& err) {
  const std::uint32_t seed = o.seed.value_or(0);
  ObjectShape shape = o.objectFile.empty() ? ObjectShape{} : loadObjectShape(o.objectFile, lines, err);
  Result<Pictures> pictures = readPictures(o, settings, lines);
  if (!pictures) return pictures.failure();
  Result<PixelImage> colour = setUp(o, pictures.value(), seed, lines);
  if (!colour) return colour.failure();
  lines << "Seed: " << seed << " (--seed " << seed << " records this take again)" << std::endl;
  ViewerScene scene = sceneOf(o, colour.value(), pictures.value());
  std::vector<MovingParticle> start = startingParticles(colour->records);
  colour = PixelImage{};
  if (const Result<void> shown = applyTransparency(o, pictures->colour, scene, start, lines); !shown)
    return shown.failure();
  pictures = Pictures{};
  chooseVelocity(o, settings.framesPerSecond, start, lines, err);
  std::vector<std::int32_t> steps = stepsHome(start);
  lines << "Number of frames: " << frameCountFor(steps) << std::endl;
  return std::unique_ptr<Recording>(std::make_unique<PictureRecording>(
      std::move(scene), std::move(shape), std::move(start), std::move(steps), settings.settledLayer));
}

}  // namespace zorvel
