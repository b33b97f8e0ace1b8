#include "viewer/RtgReport.h"

#include <ostream>

#include "common/ConsoleText.h"

namespace zorvel {

void printRtgOpenFailure(std::ostream& out, std::ostream& err, const std::string& fileName) {
  printLine(out);
  printLine(out, "--------------RTG FILE ERROR!--------------");
  printLine(out, kBoxRuleLine);
  err << "RTG-file: " << fileName << " failed to open." << std::endl;
}

void printRtgSummary(std::ostream& out, const std::string& fileName, const RtgObject& object) {
  out << std::endl;
  printLine(out, "--------------------RTG--------------------");
  printLine(out, kBoxRuleLine);
  out << "RTG export file: " << fileName << std::endl;
  out << "Exported scene objects: " << object.objectCount() << std::endl;
  out << "Exported animation frames: " << object.animationFrameCount() << std::endl;
  out << "Total number of vertices: " << object.totalVertices() << std::endl;
  out << "Total number of polygons: " << object.totalPolygons() << std::endl;
  out << "Total number of normals: " << object.totalNormals() << std::endl;
  out << "Total number of texture coordinates: " << object.totalTexCoords() << std::endl;
  out << std::endl << "RTG: Export attributes:" << std::endl << std::endl;
  for (int a = 0; a < RtgObject::kAttributeCount; ++a) {
    const auto attribute = static_cast<RtgObject::Attribute>(a);
    out << '\t' << rtgAttributeName(attribute) << ' ' << (object.attribute(attribute) ? 1 : 0) << std::endl;
  }
  out << std::endl;
}

void printRtgObjectInfo(std::ostream& out, const std::string& fileName, const RtgObject& object) {
  for (std::size_t i = 0; i < object.objectCount(); ++i) {
    out << std::endl;
    printLine(out, "-----------------RTG-object----------------");
    printLine(out, kBoxRuleLine);
    out << "RTG export file: " << fileName << std::endl;
    out << std::endl;
    out << "RTG: Object " << i << " attributes:" << std::endl;
    out << std::endl;
    out << "\tObject name:" << object.objectNames()[i] << std::endl;
    out << "\tNumber of vertices:" << object.vertexCount(i) << std::endl;
    out << "\tNumber of polygons:" << object.polygonCount(i) << std::endl;
    out << "\tNumber of vertex normals:" << object.normalCount(i) << std::endl;
    out << "\tNumber of texture coordinates:" << object.texCoordCount(i) << std::endl;
    out << std::endl;
  }
}

void printRtgFault(std::ostream& err, const std::string& fileName, const Failure& fault) {
  err << "RTG-file: " << fileName << ": " << fault.reason << " Drawing cubes instead." << std::endl;
}

}  // namespace zorvel
