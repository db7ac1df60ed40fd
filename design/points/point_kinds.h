// Joins every point kind built so far to the point-kind table
// (design/core/factories.h), so that the design loader can make a point from
// the point kind its record names. Calling it again changes nothing.
#pragma once

void RegisterPointKinds();
