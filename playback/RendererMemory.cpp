#include "playback/RendererMemory.h"

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zorvel {

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// Above the working memory of a picture at 1920 x 1080 with every box on screen.
constexpr std::size_t kKeptFreeBytes = 256 * kMiB;
// The C library's own upper bound for blocks served from a heap rather than mapped.
constexpr std::size_t kLargestHeapBlock = 32 * kMiB;

// Each drawing thread has its own context, so its own count.
thread_local std::size_t tBound = 0;   // primitives between waits; 0: none
thread_local std::size_t tHanded = 0;  // primitives handed since the renderer last finished
thread_local std::size_t tWaits = 0;

std::size_t verticesPerPrimitive(GLenum mode) { return mode == GL_TRIANGLES ? 3 : 2; }

// Draws `count` vertices of `mode` in pieces that keep within the bound: `draw(first,
// vertices)` draws the piece that starts `first` vertices in.
template <class Draw>
void drawBounded(GLenum mode, std::size_t count, Draw draw) {
  const std::size_t per = verticesPerPrimitive(mode);
  const std::size_t primitives = count / per;
  for (std::size_t done = 0; done < primitives;) {
    std::size_t piece = primitives - done;
    if (tBound != 0) {
      if (tHanded >= tBound) {
        finishRendering();
        ++tWaits;
      }
      piece = std::min(piece, tBound - tHanded);
    }
    draw(done * per, piece * per);
    done += piece;
    tHanded += piece;
  }
}

}  // namespace

void keepRendererMemoryForReuse() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kKeptFreeBytes));
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
#endif
}

void returnKeptRendererMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

void boundRendererWork(std::size_t primitives) { tBound = primitives; }

void finishRendering() {
  glFinish();
  tHanded = 0;
}

std::size_t renderingWaits() { return tWaits; }

void drawElements(GLenum mode, std::size_t count, const GLuint* indices) {
  drawBounded(mode, count, [&](std::size_t first, std::size_t vertices) {
    glDrawElements(mode, static_cast<GLsizei>(vertices), GL_UNSIGNED_INT, indices + first);
  });
}

void drawArrays(GLenum mode, std::size_t first, std::size_t count) {
  drawBounded(mode, count, [&](std::size_t start, std::size_t vertices) {
    glDrawArrays(mode, static_cast<GLint>(first + start), static_cast<GLsizei>(vertices));
  });
}

}  // namespace zorvel
