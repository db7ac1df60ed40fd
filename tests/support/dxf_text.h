// DXF input written in the tests themselves: a file of one ENTITIES section
// around the entities' group lines ("  0\nLINE\n  8\n0\n..."), as the DXF
// reader's tests and the driver's tests feed it.
#pragma once

#include <string>

inline std::string Dxf(const std::string& entities) {
  return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}
