#include "background/learned_background.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "common/fnv_hash.h"
#include "common/turn_remainder.h"

namespace scantouch {

namespace {

double Normalised(double degrees) {
  const double angle = TurnRemainder(degrees);
  return angle < 0 ? angle + 360.0 : angle;
}

std::size_t DirectionOf(double scannerAngle, std::size_t directions) {
  const double at = Normalised(scannerAngle) / 360.0 * static_cast<double>(directions);
  return std::min(static_cast<std::size_t>(at), directions - 1);
}

// Readings of one still thing differ by the scanner's noise, which grows with the distance.
double SameThingMm(double distanceMm) {
  return 2 * (15 + 0.01 * distanceMm);
}

constexpr std::string_view kFirstLine = "scantouch background 1";

// A whole line of one or two numbers after an optional key, with nothing left over.
template <typename T>
bool ReadNumber(std::string_view& text, T& value) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc())
    return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

}  // namespace

LearnedBackground::LearnedBackground(std::vector<Direction> directions, std::int64_t learnedAtMs,
                                     int unsteady)
    : directions_(std::move(directions)), learnedAtMs_(learnedAtMs), unsteady_(unsteady) {}

bool LearnedBackground::fits(double stepDegrees) const {
  return !empty() && stepDegrees > 0 &&
         std::abs(stepDegrees - this->stepDegrees()) <= kSameStep * this->stepDegrees();
}

bool LearnedBackground::isBackground(double scannerAngle, double distanceMm) const {
  if (directions_.empty() || !std::isfinite(scannerAngle) || !std::isfinite(distanceMm))
    return false;
  const std::size_t count = directions_.size();
  const std::size_t at = DirectionOf(scannerAngle, count);
  for (const std::size_t k : {at, (at + 1) % count, (at + count - 1) % count}) {
    const Direction& direction = directions_[k];
    if (direction.distanceMm <= 0)
      continue;
    const double margin = std::max(kFloorMm, kScatters * direction.scatterMm);
    if (distanceMm >= direction.distanceMm - margin)
      return true;
  }
  return false;
}

void BackgroundLearning::take(double scannerAngle, std::int32_t distanceMm, bool startsTurn,
                              bool wholeTurnEnds) {
  if (startsTurn) {
    if (turnOpen_ && wholeTurnEnds && readings_.size() + turn_.size() <= kMostReadings) {
      for (Reading reading : turn_) {
        reading.turn = static_cast<std::uint32_t>(turnNodes_.size());
        readings_.push_back(reading);
      }
      turnNodes_.push_back(static_cast<std::uint32_t>(turn_.size()));
    }
    turn_.clear();
    turnOpen_ = true;
  }
  // A turn that never ends is no turn of a sweep; what it held is not kept.
  if (turnOpen_ && turn_.size() < 65536 && std::isfinite(scannerAngle))
    turn_.push_back(Reading{static_cast<float>(scannerAngle), std::max(distanceMm, 0), 0});
}

std::optional<LearnedBackground> BackgroundLearning::finish(std::int64_t learnedAtMs) const {
  const std::size_t turns = turnNodes_.size();
  if (turns < static_cast<std::size_t>(kLeastTurns))
    return std::nullopt;
  const double meanNodes =
      std::accumulate(turnNodes_.begin(), turnNodes_.end(), 0.0) / static_cast<double>(turns);
  const auto count = static_cast<std::size_t>(std::max(8.0, std::round(meanNodes)));

  struct Seen {
    std::int32_t distanceMm;
    std::uint32_t turn;
    bool operator<(const Seen& other) const { return distanceMm < other.distanceMm; }
  };
  std::vector<std::vector<Seen>> seen(count);
  for (const Reading& reading : readings_) {
    if (reading.distanceMm > 0)
      seen[DirectionOf(reading.scannerAngle, count)].push_back({reading.distanceMm, reading.turn});
  }

  std::vector<LearnedBackground::Direction> directions(count);
  int unsteady = 0;
  for (std::size_t k = 0; k < count; ++k) {
    std::vector<Seen>& distances = seen[k];
    std::sort(distances.begin(), distances.end());
    bool cameAndWent = false;
    // Groups of readings of one thing, nearest first; the nearest that stayed is the
    // background, and any nearer one came and went. A reading within the noise of the one before
    // is of the same thing: a wall the plane grazes comes back anywhere along a strip far deeper
    // than the noise, and no one slice of it is met in enough turns, yet the strip stayed.
    for (std::size_t first = 0; first < distances.size();) {
      std::size_t end = first + 1;
      while (end < distances.size() && distances[end].distanceMm - distances[end - 1].distanceMm <=
                                           SameThingMm(distances[end - 1].distanceMm))
        ++end;
      bool thirds[3] = {};
      for (std::size_t i = first; i < end; ++i)
        thirds[std::min<std::size_t>(2, distances[i].turn * 3 / turns)] = true;
      const bool stayed =
          thirds[0] && thirds[1] && thirds[2] &&
          static_cast<double>(end - first) >= kStayedShare * static_cast<double>(turns);
      if (stayed) {
        // The scatter of its nearest part, which the margin is about: how much nearer than the
        // nearest reading a return of it may yet come.
        std::size_t near = first + 1;
        while (near < end && distances[near].distanceMm - distances[first].distanceMm <=
                                 SameThingMm(distances[first].distanceMm))
          ++near;
        const auto members = static_cast<double>(near - first);
        double sum = 0;
        for (std::size_t i = first; i < near; ++i)
          sum += distances[i].distanceMm;
        const double mean = sum / members;
        double square = 0;
        for (std::size_t i = first; i < near; ++i)
          square += (distances[i].distanceMm - mean) * (distances[i].distanceMm - mean);
        directions[k] = {distances[first].distanceMm,
                         static_cast<float>(std::sqrt(square / members))};
        break;
      }
      cameAndWent = true;
      first = end;
    }
    unsteady += cameAndWent ? 1 : 0;
  }
  return LearnedBackground(std::move(directions), learnedAtMs, unsteady);
}

std::string BackgroundText(const LearnedBackground& background) {
  std::string text(kFirstLine);
  text += "\nlearned " + std::to_string(background.learnedAtMs());
  text += "\nunsteady " + std::to_string(background.unsteady());
  text += "\ndirections " + std::to_string(background.directions().size()) + "\n";
  char scatter[32];
  for (const LearnedBackground::Direction& direction : background.directions()) {
    // The shortest text that reads back to the very same float: a background read from its file
    // decides exactly as the one learned.
    const auto end = std::to_chars(scatter, scatter + sizeof scatter, direction.scatterMm,
                                   std::chars_format::fixed)
                         .ptr;
    text += std::to_string(direction.distanceMm) + ' ' + std::string(scatter, end) + '\n';
  }
  char check[17];
  std::snprintf(check, sizeof check, "%016llx", static_cast<unsigned long long>(Fnv1a64(text)));
  return text + "check " + check + "\n";
}

ReadBackground ParseBackground(std::string_view text) {
  const auto refuse = [](const char* why) { return ReadBackground{std::nullopt, why}; };
  const std::size_t checkAt = text.rfind("check ");
  if (text.substr(0, kFirstLine.size()) != kFirstLine)
    return refuse("not a background file");
  if (checkAt == std::string_view::npos || checkAt == 0 || text[checkAt - 1] != '\n')
    return refuse("truncated");
  std::string_view checkLine = text.substr(checkAt + 6);
  while (!checkLine.empty() && (checkLine.back() == '\n' || checkLine.back() == '\r'))
    checkLine.remove_suffix(1);
  std::uint64_t check = 0;
  const auto [checkEnd, checkError] =
      std::from_chars(checkLine.data(), checkLine.data() + checkLine.size(), check, 16);
  if (checkError != std::errc() || checkEnd != checkLine.data() + checkLine.size() ||
      check != Fnv1a64(text.substr(0, checkAt)))
    return refuse("damaged");

  std::string_view rest = text.substr(kFirstLine.size(), checkAt - kFirstLine.size());
  const auto keyed = [&rest](std::string_view key, auto& value) {
    const std::string prefix = "\n" + std::string(key) + " ";
    if (rest.substr(0, prefix.size()) != prefix)
      return false;
    rest.remove_prefix(prefix.size());
    return ReadNumber(rest, value);
  };
  std::int64_t learnedAtMs = 0;
  int unsteady = 0;
  std::size_t count = 0;
  if (!keyed("learned", learnedAtMs) || !keyed("unsteady", unsteady) ||
      !keyed("directions", count) || count < 8 || count > 65536)
    return refuse("damaged");
  std::vector<LearnedBackground::Direction> directions(count);
  for (LearnedBackground::Direction& direction : directions) {
    if (rest.empty() || rest.front() != '\n')
      return refuse("damaged");
    rest.remove_prefix(1);
    if (!ReadNumber(rest, direction.distanceMm) || !ReadNumber(rest, direction.scatterMm) ||
        direction.distanceMm < 0 || !(direction.scatterMm >= 0))
      return refuse("damaged");
  }
  if (rest != "\n")
    return refuse("damaged");
  return ReadBackground{LearnedBackground(std::move(directions), learnedAtMs, unsteady), ""};
}

}  // namespace scantouch
