#pragma once

// How the C library keeps the memory a program frees, tuned for drawing with the software
// renderer. For every picture the renderer allocates megabytes (its lists of what to fill
// where, about 200 bytes a triangle) and frees them when the picture is done. By default
// the C library hands such freed memory back to the system at once, so the next picture
// takes it again page by page, each page faulted in and zeroed: with tens of thousands of
// boxes, up to a third of the drawing time went to that.

namespace zorvel {

// Has the C library keep up to 256 MB of freed memory on each of its heaps for reuse,
// and serve blocks below 32 MB from those heaps. It only keeps what the program once
// used, so the most held at once does not grow. Each program that draws calls it once,
// as it starts.
void keepFreedMemoryForReuse();

// Hands the freed memory kept above back to the system. A window showing pictures for a
// long session calls it now and then, so that what one heavy picture once took is not
// held after it; the next picture takes back only what it needs.
void returnKeptMemory();

}  // namespace zorvel
