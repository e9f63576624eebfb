#pragma once

namespace scantouch {

// sin and cos of whole degrees 0..360, as angle * pi / 180 gives them. The sweep only ever
// needs whole degrees, and a table lookup is many times cheaper than the library call.
double SinOfDegree(int degree);
double CosOfDegree(int degree);

}  // namespace scantouch
