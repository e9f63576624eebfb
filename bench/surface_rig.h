#pragma once

// The road of several scanners on one surface: the main window with the first scanner on its
// decoder and each further scanner on a ScannerStream of its own, as the program routes a further
// link.

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine/touch_engine.h"
#include "geometry/pose.h"
#include "main_form_on_fakes.h"
#include "scene.h"
#include "surface_bench.h"
#include "surface_wall.h"
#include "sweep_times.h"

namespace surface_bench {

// Fed in blocks of the options' length that break anywhere, the links taking their turn in a
// random order each block, with the event loop's clock following the streams. Scanners not fed
// stay silent, as an unplugged one. Each scanner's ScannerClock says when its nodes were measured
// and where its turns begin.
class SurfaceRig {
 public:
  SurfaceRig(const scanner_sim::Scene& scene, const std::vector<ScannerSetup>& setups,
             const std::vector<bool>& fed, const std::vector<scantouch::Pose>& enginePoses,
             std::uint32_t seed, const SurfaceOptions& options);
  ~SurfaceRig();

  void runUntil(double until_s);

  scantouch::MainForm& form() { return fakes_.form; }
  scantouch::TouchEngine& engine() { return fakes_.form.engine(); }
  const scantouch::TouchEngine& engine() const { return engine_; }
  std::size_t scanners() const { return links_.size(); }
  bool fed(std::size_t s) const;
  const ScannerSetup& setup(std::size_t s) const;
  const bench_judging::ScannerClock& clock(std::size_t s) const;
  // The scene in scanner `s`'s own plane.
  const scanner_sim::Scene& seenBy(std::size_t s) const;

 private:
  struct Link;
  class FirstScannerTee;

  scantouch::testing::MainFormOnFakes fakes_;
  scantouch::TouchEngine& engine_;
  double block_s_;
  std::mt19937 random_;
  std::vector<std::unique_ptr<Link>> links_;
  std::unique_ptr<FirstScannerTee> tee_;
  double now_s_ = 0;
  std::int64_t blocks_ = 0;
};

}  // namespace surface_bench
