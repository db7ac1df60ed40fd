// The view transform between model units and device pixels that the design
// elements draw with, a polygon drawn through it, and the box an arc covers.
//
// A view is a scale (model units per device pixel) and an origin in model
// units: the model point at the origin lands on device pixel (0, 0). Results
// are rounded half away from zero (RoundToNearest); a scale of 0 or a result
// beyond 32 bits clamps instead of overflowing. An output argument is a
// pointer that must not be null.
#pragma once

#include <list>

#include "platform/dc.h"
#include "platform/geometry_types.h"

// Model point of device pixel (x, y): round(device * scale) + origin.
void DeviceToModel(int x, int y, double scale, int originX, int originY, int* modelX, int* modelY);
CPoint DeviceToModelPoint(int x, int y, double scale, int originX, int originY);

// Device pixel of model point (x, y): round((model - origin) / scale), the
// whole quotient rounded: (103, 97) at scale 2 about (100, 100) is (2, -2).
void ModelToDevice(int x, int y, double scale, int originX, int originY, int* deviceX, int* deviceY);
CPoint ModelToDevicePoint(int x, int y, double scale, int originX, int originY);

// Draws the model points as one filled polygon (CDC::Polygon) in device
// pixels, with the pen and brush selected in `dc`. An empty list draws
// nothing.
void DrawPointListPolygon(CDC& dc, const std::list<CPoint>& points, double scale, int originX,
                          int originY);

// The box that dc.Arc(left, top, right, bottom, start, end) covers: the arc of
// the ellipse in the box that runs counter-clockwise on the screen (y down)
// from the start radial to the end radial. The result holds both radial
// points and reaches the box's edge on every side whose extreme the arc
// passes; equal radials, like the arc call, take the whole ellipse. The
// centre is the box's middle rounded, and the box's edges are taken in
// order whichever way round they are given.
void GetArcRect(CRect* rect, int left, int top, int right, int bottom, int xStart, int yStart,
                int xEnd, int yEnd);
