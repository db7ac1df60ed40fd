// Joins every class of the design model built so far to the loader's tables
// (design/core/factories.h). The loader calls it before it reads; calling it
// again changes nothing.
#pragma once

void RegisterDesignClasses();
