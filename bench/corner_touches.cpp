#include "corner_touches.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "engine/touch_engine.h"
#include "judging.h"
#include "scene_hands.h"
#include "surface_rig.h"
#include "surface_wall.h"

namespace surface_bench {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::kMatchMm;

namespace {

// Averages, over the frames it is on for, the contact nearest each target.
class ContactSampler final : public TouchFrameSink {
 public:
  void start(std::vector<PlanePoint> targets) {
    targets_ = std::move(targets);
    sums_.assign(targets_.size(), {});
    counts_.assign(targets_.size(), 0);
    on_ = true;
  }
  void stop() { on_ = false; }
  // The mean of each target's contacts; none for a target no contact came near.
  std::optional<std::vector<PlanePoint>> means() const {
    std::vector<PlanePoint> result;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      if (counts_[i] == 0)
        return std::nullopt;
      result.push_back({sums_[i].x / counts_[i], sums_[i].y / counts_[i]});
    }
    return result;
  }

  void onTouchFrame(const TouchFrame& frame) override {
    if (!on_)
      return;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const Contact* nearest = nullptr;
      double distance = kMatchMm;
      for (const Contact& contact : frame.live) {
        const double d = std::hypot(contact.x - targets_[i].x, contact.y - targets_[i].y);
        if (d <= distance) {
          distance = d;
          nearest = &contact;
        }
      }
      if (nearest == nullptr)
        continue;
      sums_[i].x += nearest->x;
      sums_[i].y += nearest->y;
      ++counts_[i];
    }
  }

 private:
  bool on_ = false;
  std::vector<PlanePoint> targets_;
  std::vector<PlanePoint> sums_;
  std::vector<int> counts_;
};

}  // namespace

MappingErrors ExactCorners(const Quad& picture, int sets) {
  MappingErrors errors;
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> noise(-2, 2);
  for (int set = 0; set < sets; ++set) {
    SurfaceMapping::Corners touched;
    for (std::size_t i = 0; i < 4; ++i)
      touched[i] = ToView({picture[i].x + noise(random), picture[i].y + noise(random)});
    JudgeMappings(picture, touched, errors);
  }
  return errors;
}

MappingErrors HandCorners(const Quad& picture, const SurfaceOptions& options) {
  MappingErrors errors;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    const auto s = static_cast<std::uint32_t>(seed);
    bench_scenes::HandScene scene = bench_scenes::NewHandScene();
    std::vector<PlanePoint> targets;
    for (const sim::PlanePoint& corner : picture) {
      sim::SceneObject hand;
      hand.from = corner;
      bench_scenes::AddHand(scene, hand, bench_scenes::HandRole::still, options.handMm, 0.3, 2.5);
      targets.push_back(ToView(corner));
    }
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, {true, true}, {ViewPose(kSecond.pose)}, s,
                   options);
    ContactSampler sampler;
    rig.engine().addSink(sampler);
    rig.runUntil(1.0);
    sampler.start(targets);
    rig.runUntil(2.0);
    const auto touched = sampler.means();
    if (!touched) {
      ++errors.refused;
      continue;
    }
    JudgeMappings(picture, {(*touched)[0], (*touched)[1], (*touched)[2], (*touched)[3]}, errors);
  }
  return errors;
}

}  // namespace surface_bench
