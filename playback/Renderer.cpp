#include "playback/Renderer.h"

#include <GL/gl.h>

#include <algorithm>

namespace zorvel {

namespace {

std::size_t verticesPerPrimitive(GLenum mode) { return mode == GL_TRIANGLES ? 3 : 2; }

// Additive blending (source alpha, one), or none.
void useBlending(bool additive) {
  if (additive) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
  } else {
    glDisable(GL_BLEND);
  }
}

void drawGridAndAxes(const ViewState& view, const GridColours& colours) {
  static const std::vector<Vector3> grid = gridLines();
  glDisable(GL_LIGHTING);
  glDisable(GL_LIGHT0);
  if (view.antialias)
    glEnable(GL_LINE_SMOOTH);
  else
    glDisable(GL_LINE_SMOOTH);
  glLineWidth(1.0f);
  glColor4ub(colours.grid.red, colours.grid.green, colours.grid.blue, colours.grid.alpha);
  glBegin(GL_LINES);
  for (const Vector3& v : grid) glVertex3f(v.x, v.y, v.z);
  glEnd();
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  glColor4ub(colours.x.red, colours.x.green, colours.x.blue, colours.x.alpha);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(1.0f, 0.0f, 0.0f);
  glColor4ub(colours.y.red, colours.y.green, colours.y.blue, colours.y.alpha);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 1.0f, 0.0f);
  glColor4ub(colours.z.red, colours.z.green, colours.z.blue, colours.z.alpha);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, 1.0f);
  glEnd();
}

}  // namespace

Renderer::Renderer(std::size_t primitivesBetweenWaits)
    : camera_(initialViewState(0), projectionFor(1, 1)), primitivesBetweenWaits_(primitivesBetweenWaits) {
  glEnable(GL_DEPTH_TEST);
}

void Renderer::useCamera(const Camera& camera) {
  camera_ = camera;
  const int* viewport = camera.viewport();
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(camera.projection());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(camera.modelView());
}

void Renderer::beginPicture(const Camera& camera, const ViewState& view, GridBlending gridBlending,
                            const GridColours& colours) {
  useCamera(camera);
  const ColorRGBA& b = colours.background;
  glClearColor(b.red / 255.0f, b.green / 255.0f, b.blue / 255.0f, b.alpha / 255.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (view.showGrid) {
    useBlending(gridBlending == GridBlending::Additive);
    drawGridAndAxes(view, colours);
  }
  glDisable(GL_LINE_SMOOTH);
}

void Renderer::setDrawingState(const ViewState& view) {
  useBlending(view.additiveBlend);
  if (view.antialias) {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
  } else {
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
  }
  glShadeModel(GL_SMOOTH);
  glLineWidth(1.25f);
}

void Renderer::drawTriangles(const Vector3* vertices, const ColorRGBA* colours, std::size_t count,
                             const ViewState& view) {
  setDrawingState(view);
  if (count == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), vertices);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), colours);
  submitArrays(GL_TRIANGLES, 0, count);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void Renderer::flush() { glFlush(); }

void Renderer::waitUntilDrawn() {
  glFinish();
  handed_ = 0;
}

template <class Submit>
void Renderer::submitWithinBound(unsigned mode, std::size_t count, Submit submit) {
  const std::size_t per = verticesPerPrimitive(mode);
  const std::size_t primitives = count / per;
  for (std::size_t done = 0; done < primitives;) {
    std::size_t piece = primitives - done;
    if (primitivesBetweenWaits_ != 0) {
      if (handed_ >= primitivesBetweenWaits_) {
        waitUntilDrawn();
        ++waits_;
      }
      piece = std::min(piece, primitivesBetweenWaits_ - handed_);
    }
    submit(done * per, piece * per);
    done += piece;
    handed_ += piece;
  }
}

void Renderer::submitElements(unsigned mode, std::size_t count, const std::uint32_t* indices) {
  submitWithinBound(mode, count, [&](std::size_t first, std::size_t vertices) {
    glDrawElements(mode, static_cast<GLsizei>(vertices), GL_UNSIGNED_INT, indices + first);
  });
}

void Renderer::submitArrays(unsigned mode, std::size_t first, std::size_t count) {
  submitWithinBound(mode, count, [&](std::size_t start, std::size_t vertices) {
    glDrawArrays(mode, static_cast<GLint>(first + start), static_cast<GLsizei>(vertices));
  });
}

}  // namespace zorvel
