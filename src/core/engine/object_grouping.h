#pragma once

#include <vector>

#include "engine/scanner_set.h"
#include "geometry/homography.h"

namespace scantouch {

// A hit of one turn: a measured point inside the touch rectangle, in view units.
struct TurnHit {
  double x = 0;
  double y = 0;
  bool afterMiss = false;  // a measured node outside the rectangle came between it and the last hit
  double node = 0;         // its place in the turn, counted in nodes from the turn's first
  PlanePoint scanner = {};  // where the scanner that measured it stands
  int noReturnsBefore = 0;  // no-return nodes between it and the last hit or miss
};

// The hits of one turn in the order the sweep met them.
struct TurnHits {
  std::vector<TurnHit> hits;
  bool missAtEnd = false;  // a miss came after the last hit
  int noReturnsAtEnd = 0;  // no-return nodes after the last hit or miss
  double nodes = 0;        // nodes in the whole turn, no-return nodes included

  void clear() {
    hits.clear();
    missAtEnd = false;
    noReturnsAtEnd = 0;
    nodes = 0;
  }
};

// One object that broke the plane in a turn.
struct TouchObject {
  double x = 0;  // its centre, as RoundObjectCentre places it, view units
  double y = 0;
  int hits = 0;
  // When in the turn the sweep met its middle: 0 at the turn's start, 1 at its end (a little
  // below 0 for an object the turn's start cut in two). A hand moving against the sweep across
  // the turn's start is met twice in one turn, a turn apart.
  double phase = 0;
  // Already given in an earlier frame: another scanner's turn that has not ended again since.
  // It keeps a contact alive and tells nothing new of where the contact is.
  bool repeated = false;
  // The scanner that saw it (the engine's index); of several, the first.
  int scanner = 0;
  // Every scanner whose sighting it joins; `scanner` counts whether its bit is set or not.
  ScannerSet scanners = 0;

  ScannerSet seenBy() const { return scanners | ScannerBit(scanner); }
  friend bool operator==(const TouchObject&, const TouchObject&) = default;
};

// Beams that found nothing between two hits went through between them, as a measured miss does,
// where two things stand apart before open space. A single no-return node, or a few within an
// object's width, is a beam the object did not send back (a dark spot, an edge): the hits on each
// side of a stretch of at least kThroughNodes no-return nodes are apart when they lie at least
// kThroughMm from each other.
inline constexpr int kThroughNodes = 2;
inline constexpr double kThroughMm = 20;

// Groups a turn's hits into objects: neighbouring hits belong to one object when no miss came
// between them (nor a stretch of no-return nodes, as above) and their points are closer than
// `gapMm`. An object that the turn's start cut in
// two (its last hits end the turn, its first hits began it) is joined again. The beams of the
// turn are taken as spread evenly over it.
std::vector<TouchObject> GroupHits(const TurnHits& turn, double gapMm);

}  // namespace scantouch
