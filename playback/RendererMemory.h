#pragma once

// The software renderer's working memory. For every picture it allocates megabytes (its
// lists of what to fill where, about 200 bytes a triangle) and frees them when the
// picture is done. By default the C library hands such freed memory back to the system
// at once, so the next picture takes it again page by page, each page faulted in and
// zeroed: with tens of thousands of boxes, up to a third of the drawing time went to
// that. And it holds those lists for everything handed to it until it has filled the
// pixels, which for a picture of 20,000 boxes is about 20 MB a context.

#include <GL/gl.h>

#include <cstddef>

namespace zorvel {

// Has the C library keep up to 256 MB of freed memory on each of its heaps for reuse,
// and serve blocks below 32 MB from those heaps. It only keeps what the program once
// used, so the most held at once does not grow. Call it once, before the first picture.
void keepRendererMemoryForReuse();

// Hands the freed memory kept above back to the system. A window showing pictures for a
// long session calls it now and then, so that what one heavy picture once took is not
// held after it; the next picture takes back only what it needs.
void returnKeptRendererMemory();

// Bounds what the renderer holds for the drawing on the calling thread: once `primitives`
// triangles and lines have been handed to it since it last finished, the drawing through
// the calls below waits until it has filled them, so that its lists are freed before
// more come. 0 (the default): it never waits. The picture does not change: every
// primitive is drawn, in the order handed.
void boundRendererWork(std::size_t primitives);

// Waits until the renderer has filled everything handed to it on this thread; the
// bound's count starts afresh.
void finishRendering();

// How many times the drawing on this thread has waited for the bound above.
std::size_t renderingWaits();

// glDrawElements and glDrawArrays of GL_TRIANGLES or GL_LINES, under the bound above:
// `count` vertices (a whole number of primitives), unsigned indices.
void drawElements(GLenum mode, std::size_t count, const GLuint* indices);
void drawArrays(GLenum mode, std::size_t first, std::size_t count);

}  // namespace zorvel
