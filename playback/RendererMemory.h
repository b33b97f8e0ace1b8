#pragma once

// The software renderer's working memory. For every picture it allocates megabytes (its
// lists of what to fill where) and frees them when the picture is done. By default the
// C library hands such freed memory back to the system at once, so the next picture
// takes it again page by page, each page faulted in and zeroed: with tens of thousands
// of boxes, up to a third of the drawing time went to that.

namespace zorvel {

// Has the C library keep up to 256 MB of freed memory on each of its heaps for reuse,
// and serve blocks below 32 MB from those heaps. It only keeps what the program once
// used, so the most held at once does not grow. Call it once, before the first picture.
void keepRendererMemoryForReuse();

}  // namespace zorvel
