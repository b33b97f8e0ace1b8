#include "playback/SceneDrawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "playback/RendererMemory.h"

namespace zorvel {

void applyDrawingState(const ViewState& view) {
  if (view.additiveBlend) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
  } else {
    glDisable(GL_BLEND);
  }
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

void initDrawing() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glEnable(GL_DEPTH_TEST);
}

void applyProjection(int width, int height) { applyProjection(projectionFor(width, height)); }

void applyProjection(const Projection& p) {
  glViewport(0, 0, p.viewportWidth, p.viewportHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(p.fieldOfView, p.aspect, p.nearPlane, p.farPlane);
  glMatrixMode(GL_MODELVIEW);
}

void beginScene(const ViewState& view) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(view.panX, view.panY, view.zoom - kCameraDistance);
  glRotatef(view.rotateX, 1.0f, 0.0f, 0.0f);
  glRotatef(view.rotateY, 0.0f, 1.0f, 0.0f);
  if (view.showGrid) {
    static const std::vector<Vector3> grid = gridLines();
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    if (view.antialias)
      glEnable(GL_LINE_SMOOTH);
    else
      glDisable(GL_LINE_SMOOTH);
    glLineWidth(1.0f);
    glColor3f(0.2f, 0.2f, 0.2f);
    glBegin(GL_LINES);
    for (const Vector3& v : grid) glVertex3f(v.x, v.y, v.z);
    glEnd();
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 1.0f);
    glEnd();
  }
  glDisable(GL_LINE_SMOOTH);
}

void flushDrawing() { glFlush(); }

void drawTriangles(const Vector3* vertices, const ColorRGBA* colours, std::size_t count, const ViewState& view) {
  applyDrawingState(view);
  if (count == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), vertices);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), colours);
  drawArrays(GL_TRIANGLES, 0, count);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
