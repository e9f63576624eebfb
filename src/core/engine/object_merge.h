#pragma once

#include <vector>

#include "engine/scanner_set.h"
#include "geometry/homography.h"

namespace scantouch {

// An object one scanner saw, placed on the surface.
struct SurfaceObject {
  PlanePoint position;
  int hits = 0;
  double phase = 0;       // when in the frame's turn it was seen: 0 at the start, 1 at the end
  bool repeated = false;  // seen before the last frame; a joined object only if all parts were
  int scanner = 0;        // the scanner that saw it; of a joined object, the lowest of its parts'
  // Of a joined object, every part's scanner; `scanner` counts whether its bit is set or not.
  ScannerSet scanners = 0;
};

// Joins objects that several scanners saw of one thing: objects of two scanners closer than
// `gap` are one, and so are chains of such neighbours, but never two objects of one scanner: what
// a scanner sees apart is apart. Neighbours are joined nearest first. A joined object lies at its
// parts' mean weighted by their hits (the plain mean when none has hits), was seen at their
// phases' mean weighted alike, and has all their hits. The result keeps the order in which each
// joined object's first part came.
std::vector<SurfaceObject> MergeObjects(std::vector<SurfaceObject> objects, double gap);

}  // namespace scantouch
