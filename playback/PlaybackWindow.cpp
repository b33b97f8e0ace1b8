#include "PlaybackWindow.h"

#include <GL/glut.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "TickCounter.h"

namespace zorvel {

namespace {

ViewState gView;
ViewState gLastDrawn;       // the view state of the picture on screen
bool gWindowChanged = true;  // reshaped since the last picture

void onReshape(int width, int height) {
  gWindowChanged = true;
  const Projection p = projectionFor(width, height);
  glViewport(0, 0, p.viewportWidth, p.viewportHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(p.fieldOfView, p.aspect, p.nearPlane, p.farPlane);
  glMatrixMode(GL_MODELVIEW);
}

void onIdle() { glutPostRedisplay(); }

void onMouse(int button, int, int x, int y) { mouseButton(gView, button, x, y); }

void onMotion(int x, int y) { dragTo(gView, x, y); }

// Blending, colour smoothing and shading as every drawing operation sets them up.
void setUpDrawing(const ViewState& view) {
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

// Vertex and colour arrays reused from frame to frame.
std::vector<Vector3> gVertices;
std::vector<ColorRGBA> gVertexColours;

}  // namespace

ViewState& viewState() { return gView; }

void initView() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glEnable(GL_DEPTH_TEST);
  gView = initialViewState(tickCount());
}

void runPlaybackWindow(int& argc, char** argv, const WindowCallbacks& callbacks) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutCreateWindow("Zorvel-viewer");
  glutDisplayFunc(callbacks.display);
  glutReshapeFunc(onReshape);
  glutIdleFunc(onIdle);
  glutMouseFunc(onMouse);
  glutMotionFunc(onMotion);
  glutKeyboardFunc(callbacks.keyboard);
  initView();
  glutFullScreen();
  glutMainLoop();
}

void beginFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(gView.panX, gView.panY, gView.zoom - 10.0f);
  glRotatef(gView.rotateX, 1.0f, 0.0f, 0.0f);
  glRotatef(gView.rotateY, 0.0f, 1.0f, 0.0f);
  if (gView.showGrid) {
    static const std::vector<Vector3> grid = gridLines();
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    if (gView.antialias)
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

void endFrame() {
  glFlush();
  glutSwapBuffers();
  gLastDrawn = gView;
  gWindowChanged = false;
}

bool viewChangedSinceLastFrame() { return gWindowChanged || !drawsTheSame(gView, gLastDrawn); }

bool takePacedFrame(std::ostream& out) {
  const std::optional<std::uint32_t> rate = pacedFrameRate(gView, tickCount());
  if (!rate) return false;
  out << "framerate: " << *rate << std::endl;
  gView.lastFrameTick = tickCount();
  return true;
}

void finishView(std::ostream& out) {
  out << "openGL finished" << std::endl;
  std::exit(0);
}

void drawBoxes(const BoxBatch& boxes, const ViewState& view) {
  const std::size_t n = boxes.centres.size();
  setUpDrawing(view);
  const bool solid = view.drawMode != 0;
  const bool wire = view.drawMode != 1;
  const std::size_t perBox = (solid ? kSolidBoxVertices : 0) + (wire ? kWireBoxVertices : 0);
  gVertices.resize(n * perBox);
  gVertexColours.resize(n * perBox);
  Vector3* vertex = gVertices.data();
  ColorRGBA* colour = gVertexColours.data();
  for (std::size_t i = 0; i < n; ++i) {
    if (solid) {
      vertex = writeSolidBox(vertex, boxes.centres[i], boxes.halfExtents[i]);
      colour = std::fill_n(colour, kSolidBoxVertices, boxes.colours[i]);
    }
    if (wire) {
      vertex = writeWireBox(vertex, boxes.centres[i], boxes.halfExtents[i]);
      colour = std::fill_n(colour, kWireBoxVertices, solid ? outlineColor : boxes.colours[i]);
    }
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), gVertices.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gVertexColours.data());
  if (solid && wire) {
    // Each box's outline follows its own faces, as the boxes are drawn one by one.
    for (std::size_t i = 0; i < n; ++i) {
      const GLint first = static_cast<GLint>(i * perBox);
      glDrawArrays(GL_TRIANGLES, first, kSolidBoxVertices);
      glDrawArrays(GL_LINES, first + kSolidBoxVertices, kWireBoxVertices);
    }
  } else if (n > 0) {
    glDrawArrays(solid ? GL_TRIANGLES : GL_LINES, 0, static_cast<GLsizei>(gVertices.size()));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void drawTriangles(const std::vector<Vector3>& triangles, const std::vector<ColorRGBA>& colours,
                   const ViewState& view) {
  setUpDrawing(view);
  if (triangles.empty()) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), triangles.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), colours.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size()));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
