#include "sim_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace scanner_sim {

const char* const kSimUsage =
    "usage: scanner-sim (--tcp PORT | --pty PATH) [options]\n"
    "  --tcp PORT             a networked scanner: TCP server on 127.0.0.1:PORT\n"
    "  --pty PATH             a serial scanner: a pseudo-terminal with a link to it at PATH\n"
    "  --rate N               nodes per second (default 2000)\n"
    "  --rps R                revolutions per second (default 5.5)\n"
    "  --jitter DEG           each node's angle is off by up to DEG degrees (default 0)\n"
    "  --noise MM             each distance is off by this standard deviation (default 0)\n"
    "  --quality Q            quality of every node, 0..63 (default 47)\n"
    "  --room D[,D...]        wall distance in mm, spread evenly over the turn (default 6000)\n"
    "  --room NAME            a room of another shape, with the distances above: plain (walls\n"
    "                         all round, the default), open-quarter (walls at 2-268 degrees\n"
    "                         only), half (0-180 only), zero-open (45-315 only: the turn starts\n"
    "                         facing open space), clutter (two 40 mm posts in the touch area\n"
    "                         and a bar along its left edge), grazing (the scanning plane\n"
    "                         grazes a wall at 1 degree along the area's top edge), pillar\n"
    "                         (100 mm across, in the middle of the area), bar (along the\n"
    "                         area's top edge, 25 mm inside it); beams into open space send\n"
    "                         no-return nodes\n"
    "  --area X,Y,W,H         the touch area the named room is furnished around, mm from the\n"
    "                         scanner, x right, y down (default -2500,-5500,5000,3000)\n"
    "  --object A,D,S[,A2,D2,P]  an object at angle A, distance D (mm), size S (mm); moving\n"
    "                         to A2,D2 and back every P seconds when given (repeatable)\n"
    "  --present T1[,T2]      the last object is there from T1 seconds of the stream until T2\n"
    "                         (default: from the start, to the end)\n"
    "  --tap DOWN,P[,PHASE]   the last object is there only DOWN seconds of every P seconds,\n"
    "                         from PHASE seconds into each period (default 0); it keeps\n"
    "                         moving while it is away\n"
    "  --no-return F[,Q[,J]]  this fraction of the nodes find nothing: distance 0, quality Q\n"
    "                         (default 15), angles off by up to J degrees (default 9)\n"
    "  --stale-bytes N        send N bytes of an earlier stream before each descriptor\n"
    "  --restart-every S      start the stream anew, descriptor first, every S seconds\n"
    "  --drop F               lose this fraction of the bytes sent\n"
    "  --corrupt F            garble this fraction of the bytes sent\n"
    "  --close-after S        close the connection or the terminal after S seconds\n"
    "  --ignore-scan          never answer \":SCAN.\"\n"
    "  --seed N               random seed (default 1)\n"
    "  --scanner tcp:PORT,X,Y,ANGLE[,RATE[,RPS]]  (or pty:PATH,X,Y,ANGLE[,RATE[,RPS]])\n"
    "                         one more scanner of the same scene, on a link of its own, at\n"
    "                         X,Y mm from the first (x right, y down), turned ANGLE degrees\n"
    "                         clockwise; own rate and rps (default: the first's), own turn\n"
    "                         phase; it sees the objects from where it stands (object times\n"
    "                         count on its own stream) and the same --room around itself;\n"
    "                         the other options apply to all scanners; its printed lines\n"
    "                         start with [2], [3], ... (repeatable)\n"
    "  --help, --version      print this, or the version, and exit\n"
    "It waits for \":SCAN.\", then streams; \":STOP.\" ends the stream. Every command received\n"
    "is printed on a line of its own.\n";

namespace {

// A whole decimal text, nothing before or after it.
std::optional<double> Number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<std::vector<double>> Numbers(std::string_view text) {
  std::vector<double> numbers;
  for (;;) {
    const std::size_t comma = text.find(',');
    const auto number = Number(text.substr(0, comma));
    if (!number)
      return std::nullopt;
    numbers.push_back(*number);
    if (comma == std::string_view::npos)
      return numbers;
    text.remove_prefix(comma + 1);
  }
}

// Reads the value after a flag, checking its range; says what was wrong in `error`.
class FlagReader {
 public:
  FlagReader(int argc, char** argv, std::string& error) : argc_(argc), argv_(argv), error_(error) {}

  bool more() const { return index_ + 1 < argc_; }
  std::string_view next() { return argv_[++index_]; }

  std::string_view text(std::string_view flag) {
    if (!more()) {
      fail(std::string(flag) + " needs a value");
      return {};
    }
    return next();
  }
  std::vector<double> numbers(std::string_view flag, std::size_t min, std::size_t max) {
    const std::string_view value = text(flag);
    if (!error_.empty())
      return {};
    const auto parsed = Numbers(value);
    if (!parsed || parsed->size() < min || parsed->size() > max) {
      fail(std::string(flag) + ": not a valid value: " + std::string(value));
      return {};
    }
    return *parsed;
  }
  double number(std::string_view flag, double min, double max) {
    const std::vector<double> values = numbers(flag, 1, 1);
    if (values.empty())
      return 0;
    if (values[0] < min || values[0] > max) {
      fail(std::string(flag) + ": " + std::string(argv_[index_]) + " is out of range");
      return 0;
    }
    return values[0];
  }
  double whole(std::string_view flag, double min, double max) {
    const double value = number(flag, min, max);
    if (error_.empty() && value != std::floor(value))
      fail(std::string(flag) + ": " + std::string(argv_[index_]) + " is not a whole number");
    return value;
  }
  void fail(std::string message) {
    if (error_.empty())
      error_ = std::move(message);
  }

 private:
  int argc_;
  char** argv_;
  std::string& error_;
  int index_ = 0;
};

// How far into a turn further scanner `index` (1, 2, ...) starts: shares of a turn far apart
// for any few scanners, so that no two sweep in step.
double TurnPhaseOf(std::size_t index) {
  constexpr double kGoldenShare = 0.6180339887498949;
  const double phase = static_cast<double>(index) * kGoldenShare;
  return phase - std::floor(phase);
}

// What "--scanner" gives, before the first scanner's settings fill in what it leaves out.
struct ScannerFlag {
  FurtherScanner scanner;
  std::optional<double> nodesPerSecond;
  std::optional<double> revolutionsPerSecond;
};

// Reads "tcp:PORT,X,Y,ANGLE[,RATE[,RPS]]" or "pty:PATH,X,Y,ANGLE[,RATE[,RPS]]".
std::optional<ScannerFlag> ParseScannerFlag(std::string_view value, std::string& error) {
  const std::size_t comma = value.find(',');
  const std::string_view link = value.substr(0, comma);
  const auto numbers =
      comma == std::string_view::npos ? std::nullopt : Numbers(value.substr(comma + 1));
  if (!numbers || numbers->size() < 3 || numbers->size() > 5) {
    error = "--scanner takes tcp:PORT,X,Y,ANGLE[,RATE[,RPS]] or pty:PATH,X,Y,ANGLE[,RATE[,RPS]]";
    return std::nullopt;
  }
  ScannerFlag flag;
  if (link.substr(0, 4) == "tcp:") {
    const auto port = Number(link.substr(4));
    if (!port || *port < 1 || *port > 65535 || *port != std::floor(*port)) {
      error = "--scanner: not a port: " + std::string(link.substr(4));
      return std::nullopt;
    }
    flag.scanner.tcpPort = static_cast<int>(*port);
  } else if (link.substr(0, 4) == "pty:" && link.size() > 4) {
    flag.scanner.ptyLink = std::string(link.substr(4));
  } else {
    error = "--scanner: the link is tcp:PORT or pty:PATH, not " + std::string(link);
    return std::nullopt;
  }
  const std::vector<double>& n = *numbers;
  flag.scanner.pose = ScannerPose{n[0], n[1], n[2]};
  if (std::abs(n[0]) > 1e6 || std::abs(n[1]) > 1e6 || std::abs(n[2]) > 3600) {
    error = "--scanner: the place is within 1e6 mm and the angle within 3600 degrees";
    return std::nullopt;
  }
  if (n.size() > 3)
    flag.nodesPerSecond = n[3];
  if (n.size() > 4)
    flag.revolutionsPerSecond = n[4];
  if ((flag.nodesPerSecond && (*flag.nodesPerSecond < 1 || *flag.nodesPerSecond > 1e7)) ||
      (flag.revolutionsPerSecond &&
       (*flag.revolutionsPerSecond < 0.01 || *flag.revolutionsPerSecond > 1000))) {
    error = "--scanner: the rate is 1..1e7 nodes per second and the rps 0.01..1000";
    return std::nullopt;
  }
  return flag;
}

// Two scanners cannot listen on one port or lie behind one link.
bool LinksDiffer(const SimOptions& options) {
  std::vector<int> ports;
  std::vector<std::string> paths;
  auto add = [&](const std::optional<int>& port, const std::optional<std::string>& path) {
    if (port)
      ports.push_back(*port);
    if (path)
      paths.push_back(*path);
  };
  add(options.tcpPort, options.ptyLink);
  for (const FurtherScanner& scanner : options.scanners)
    add(scanner.tcpPort, scanner.ptyLink);
  std::sort(ports.begin(), ports.end());
  std::sort(paths.begin(), paths.end());
  return std::adjacent_find(ports.begin(), ports.end()) == ports.end() &&
         std::adjacent_find(paths.begin(), paths.end()) == paths.end();
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(int argc, char** argv, std::string& error) {
  SimOptions options;
  options.scene.roomDistanceMm = {6000};
  FlagReader read(argc, argv, error);
  constexpr double kHuge = 1e9;
  std::vector<ScannerFlag> furtherScanners;
  while (read.more() && error.empty()) {
    const std::string_view flag = read.next();
    if (flag == "--tcp") {
      options.tcpPort = static_cast<int>(read.whole(flag, 1, 65535));
    } else if (flag == "--pty") {
      const std::string_view path = read.text(flag);
      if (error.empty() && path.empty())
        read.fail("--pty needs a path");
      options.ptyLink = std::string(path);
    } else if (flag == "--rate") {
      options.stream.nodesPerSecond = read.number(flag, 1, 1e7);
    } else if (flag == "--rps") {
      options.stream.revolutionsPerSecond = read.number(flag, 0.01, 1000);
    } else if (flag == "--jitter") {
      options.stream.angleJitterDegrees = read.number(flag, 0, 180);
    } else if (flag == "--noise") {
      options.stream.distanceNoiseMm = read.number(flag, 0, 1000);
    } else if (flag == "--quality") {
      options.stream.quality = static_cast<int>(read.whole(flag, 0, 63));
    } else if (flag == "--room") {
      const std::string_view value = read.text(flag);
      if (!error.empty())
        break;
      if (!value.empty() && std::isalpha(static_cast<unsigned char>(value[0]))) {
        if (const auto room = RoomNamed(value))
          options.room = *room;
        else
          read.fail("--room: no room is called " + std::string(value));
        continue;
      }
      const auto distances = Numbers(value);
      if (!distances || distances->size() > 3600) {
        read.fail("--room: not a valid value: " + std::string(value));
        break;
      }
      options.scene.roomDistanceMm = *distances;
      for (const double distance : options.scene.roomDistanceMm) {
        if (distance < 0 || distance > 16000)
          read.fail("--room: distances are 0..16000 mm");
      }
    } else if (flag == "--area") {
      const std::vector<double> n = read.numbers(flag, 4, 4);
      if (!error.empty())
        break;
      options.area.left = n[0];
      options.area.top = n[1];
      options.area.width = n[2];
      options.area.height = n[3];
      if (n[2] <= 0 || n[3] <= 0 || std::abs(n[0]) > 1e5 || std::abs(n[1]) > 1e5 || n[2] > 1e5 ||
          n[3] > 1e5)
        read.fail("--area takes a place within 1e5 mm and a width and height above 0");
    } else if (flag == "--object") {
      const std::vector<double> n = read.numbers(flag, 3, 6);
      if (!error.empty())
        break;
      if (n.size() != 3 && n.size() != 6) {
        read.fail("--object takes A,D,S or A,D,S,A2,D2,P");
        break;
      }
      SceneObject object;
      object.from = PolarToPlane(n[0], n[1]);
      object.diameterMm = n[2];
      if (n.size() == 6) {
        object.to = PolarToPlane(n[3], n[4]);
        object.period_s = n[5];
        if (object.period_s <= 0)
          read.fail("--object: the period must be above 0");
      }
      options.scene.objects.push_back(object);
    } else if (flag == "--present") {
      const std::vector<double> n = read.numbers(flag, 1, 2);
      if (!error.empty())
        break;
      if (options.scene.objects.empty()) {
        read.fail("--present follows the --object it is about");
        break;
      }
      SceneObject& object = options.scene.objects.back();
      object.appear_s = n[0];
      if (n.size() > 1)
        object.disappear_s = n[1];
      if (object.appear_s < 0 || object.disappear_s <= object.appear_s)
        read.fail("--present takes a start of 0 s or more and an end after it");
    } else if (flag == "--tap") {
      const std::vector<double> n = read.numbers(flag, 2, 3);
      if (!error.empty())
        break;
      if (options.scene.objects.empty()) {
        read.fail("--tap follows the --object it is about");
        break;
      }
      SceneObject& object = options.scene.objects.back();
      object.tapDown_s = n[0];
      object.tapPeriod_s = n[1];
      object.tapPhase_s = n.size() > 2 ? n[2] : 0;
      if (!(object.tapDown_s > 0 && object.tapDown_s <= object.tapPeriod_s &&
            object.tapPhase_s >= 0 && object.tapPhase_s < object.tapPeriod_s))
        read.fail("--tap takes DOWN above 0 and at most P, and a PHASE from 0 to below P");
    } else if (flag == "--no-return") {
      const std::vector<double> n = read.numbers(flag, 1, 3);
      if (!error.empty())
        break;
      options.stream.noReturnShare = n[0];
      if (n.size() > 1)
        options.stream.noReturnQuality = static_cast<int>(n[1]);
      if (n.size() > 2)
        options.stream.noReturnJitterDegrees = n[2];
      if (n[0] < 0 || n[0] > 1 || options.stream.noReturnQuality < 0 ||
          options.stream.noReturnQuality > 63 || options.stream.noReturnJitterDegrees < 0)
        read.fail("--no-return takes a fraction 0..1, a quality 0..63 and degrees >= 0");
    } else if (flag == "--stale-bytes") {
      options.staleBytes = static_cast<std::size_t>(read.whole(flag, 0, 65536));
    } else if (flag == "--restart-every") {
      options.restartEvery_s = read.number(flag, 0, kHuge);
    } else if (flag == "--drop") {
      options.dropFraction = read.number(flag, 0, 1);
    } else if (flag == "--corrupt") {
      options.corruptFraction = read.number(flag, 0, 1);
    } else if (flag == "--close-after") {
      options.closeAfter_s = read.number(flag, 0, kHuge);
    } else if (flag == "--ignore-scan") {
      options.ignoreScan = true;
    } else if (flag == "--seed") {
      options.stream.seed = static_cast<std::uint32_t>(read.whole(flag, 0, 4294967295.0));
    } else if (flag == "--scanner") {
      const std::string_view value = read.text(flag);
      if (!error.empty())
        break;
      std::string problem;
      if (auto scanner = ParseScannerFlag(value, problem)) {
        furtherScanners.push_back(*scanner);
      } else {
        read.fail(problem);
      }
    } else {
      read.fail("unknown option " + std::string(flag));
    }
  }
  if (error.empty() && options.tcpPort.has_value() == options.ptyLink.has_value())
    read.fail("give exactly one of --tcp PORT and --pty PATH");
  FurnishRoom(options.scene, options.room, options.area);
  // Further scanners take the first's settings as they stand after every flag was read.
  for (std::size_t i = 0; i < furtherScanners.size(); ++i) {
    FurtherScanner scanner = furtherScanners[i].scanner;
    scanner.stream = options.stream;
    scanner.stream.nodesPerSecond =
        furtherScanners[i].nodesPerSecond.value_or(options.stream.nodesPerSecond);
    scanner.stream.revolutionsPerSecond =
        furtherScanners[i].revolutionsPerSecond.value_or(options.stream.revolutionsPerSecond);
    scanner.stream.turnPhase = TurnPhaseOf(i + 1);
    scanner.stream.seed = options.stream.seed + static_cast<std::uint32_t>(7919 * (i + 1));
    options.scanners.push_back(scanner);
  }
  if (error.empty() && !LinksDiffer(options))
    read.fail("every scanner needs a port or a terminal link of its own");
  if (!error.empty())
    return std::nullopt;
  return options;
}

}  // namespace scanner_sim
