#pragma once

#include <vector>

#include "engine/object_grouping.h"
#include "geometry/homography.h"

namespace scantouch {

// Where the centre of a round object lies, from the hits one scanner made on it in one sweep (in
// the order met; each knows where the scanner stood) and the angle between neighbouring beams.
//
// A scanner sees only the object's near side, and the outermost beams that hit it lie within it:
// its edges lie on average half a beam step beyond them. A circle filling that angle, of half
// angle a seen from its centre's distance D, has its near surface at D (cos e - sqrt(sin^2 a -
// sin^2 e)) along a beam e off its middle; each hit's distance thus tells D, and their mean keeps
// the distance noise of one hit out. Objects wider than 120 degrees as the scanner sees them are
// no hand: they keep the midpoint of their first and last hit.
PlanePoint RoundObjectCentre(const std::vector<TurnHit>& hits, double beamStep_rad);

}  // namespace scantouch
