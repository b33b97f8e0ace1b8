// The indexed coincidence removal against the plain pairwise passes it replaces.

#include <gtest/gtest.h>

#include <random>

#include "cruncher/CoincidenceRemoval.h"
#include "cruncher/PixelImage.h"
#include "cruncher/RandomGenerator.h"

namespace zorvel::test {
namespace {

// The plain pairwise passes, the reference: particle i against every later j; while j
// sits on i, i draws again; passes until one changes nothing.
std::size_t removeCoincidencesPairwise(std::vector<PixelParticle>& particles, const std::function<Vector3()>& draw) {
  std::size_t total = 0;
  if (particles.size() < 2) return total;
  for (;;) {
    std::size_t changes = 0;
    for (std::size_t i = 0; i + 1 < particles.size(); ++i) {
      for (std::size_t j = i + 1; j < particles.size(); ++j) {
        while (particles[j].position == particles[i].position) {
          particles[i].position = particles[i].nextPosition = draw();
          ++changes;
        }
      }
    }
    total += changes;
    if (changes == 0) return total;
  }
}

struct Crowd {
  int width, height;
  float sigma;
  std::uint32_t seed;
};

void PrintTo(const Crowd& c, std::ostream* out) { *out << c.width << " x " << c.height << ", seed " << c.seed; }

class IndexedCoincidenceRemoval : public ::testing::TestWithParam<Crowd> {};

TEST_P(IndexedCoincidenceRemoval, GivesThePairwisePositionsWithTheSameDraws) {
  const Crowd c = GetParam();
  PixelImage image;
  image.width = static_cast<float>(c.width);
  image.height = static_cast<float>(c.height);
  image.depth = 1.0f;
  image.scatterVolumeScalar = {c.sigma, c.sigma, 1.0f};
  image.scatterVolumeSize = {c.width * c.sigma + 2, c.height * c.sigma + 2, 3.0f};
  image.records.resize(static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));

  RandomGenerator start(c.seed);
  for (PixelParticle& p : image.records) p.position = p.nextPosition = image.randomPosition(start);
  std::vector<PixelParticle> fast = image.records;
  std::vector<PixelParticle> reference = image.records;

  RandomGenerator fastDraws = start;
  RandomGenerator referenceDraws = start;
  const std::size_t fastChanges = removeCoincidences(fast, [&] { return image.randomPosition(fastDraws); });
  const std::size_t referenceChanges =
      removeCoincidencesPairwise(reference, [&] { return image.randomPosition(referenceDraws); });

  EXPECT_GT(referenceChanges, 0u) << "the crowd should force collisions";
  EXPECT_EQ(fastChanges, referenceChanges);
  EXPECT_EQ(fastDraws.draw(), referenceDraws.draw()) << "both used the same number of draws";
  for (std::size_t k = 0; k < fast.size(); ++k) {
    ASSERT_EQ(fast[k].position, reference[k].position) << "particle " << k;
    ASSERT_EQ(fast[k].nextPosition, reference[k].nextPosition) << "particle " << k;
  }
}

// Tiny scatter volumes: sigma 1 leaves as many cells as particles on a plane of depth 1
// times the depth range, so collisions are certain.
INSTANTIATE_TEST_SUITE_P(SeededCrowds, IndexedCoincidenceRemoval,
                         ::testing::Values(Crowd{8, 8, 2, 1}, Crowd{20, 10, 2, 77}, Crowd{30, 30, 2, 2026},
                                           Crowd{50, 40, 2, 9}, Crowd{13, 7, 3, 31337}, Crowd{6, 5, 2, 0}),
                         [](const ::testing::TestParamInfo<Crowd>& info) {
                           return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "Seed" +
                                  std::to_string(info.param.seed);
                         });

TEST(CoincidenceRemoval, FewerThanTwoParticlesDrawNothing) {
  std::vector<PixelParticle> one(1);
  int draws = 0;
  EXPECT_EQ(removeCoincidences(one, [&] { return Vector3{static_cast<float>(++draws), 0, 0}; }), 0u);
  EXPECT_EQ(draws, 0);
}

TEST(CoincidenceRemoval, AllParticlesOnOneSpotAreSpreadOut) {
  std::vector<PixelParticle> particles(5);
  float next = 0.0f;
  const std::size_t changes = removeCoincidences(particles, [&] { return Vector3{next += 1.0f, 0, 0}; });
  // Particles 0 to 3 each draw once in the first pass; the second pass finds nothing.
  EXPECT_EQ(changes, 4u);
  EXPECT_EQ(particles[0].position.x, 1.0f);
  EXPECT_EQ(particles[3].position.x, 4.0f);
  EXPECT_EQ(particles[4].position.x, 0.0f);
}

}  // namespace
}  // namespace zorvel::test
