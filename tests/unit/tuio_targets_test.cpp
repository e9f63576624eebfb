#include "outputs/tuio_targets.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace scantouch {
namespace {

TEST(TuioTargets, BlankIsOff) {
  for (const char* text : {"", "   ", " ; ;\t"}) {
    const TuioTargetList list = ParseTuioTargets(text);
    EXPECT_TRUE(list.targets.empty()) << text;
    EXPECT_TRUE(list.rejected.empty()) << text;
  }
}

TEST(TuioTargets, ReadsHostPortEntriesSeparatedBySemicolons) {
  const TuioTargetList list =
      ParseTuioTargets(" 127.0.0.1:3333 ;localhost:3334;\ttable.local:65535 ; [::1]:0080;");
  EXPECT_TRUE(list.rejected.empty());
  EXPECT_EQ(list.targets, (std::vector<TuioTarget>{{"127.0.0.1:3333", "127.0.0.1", 3333},
                                                   {"localhost:3334", "localhost", 3334},
                                                   {"table.local:65535", "table.local", 65535},
                                                   {"[::1]:0080", "::1", 80}}));
}

TEST(TuioTargets, RejectsWhatIsNotHostAndPortAndKeepsTheGoodOnes) {
  const TuioTargetList list = ParseTuioTargets(
      "table;good:1;:3333;host:;host:0;host:65536;host:99999999999999999999;host:33a;host:-1;"
      "::1:3333;my host:1;[]:1;good:1;also.good:2");
  EXPECT_EQ(list.targets,
            (std::vector<TuioTarget>{{"good:1", "good", 1}, {"also.good:2", "also.good", 2}}));
  std::vector<std::pair<std::string, std::string>> rejected;
  for (const RejectedTuioTarget& entry : list.rejected)
    rejected.emplace_back(entry.text, entry.reason);
  EXPECT_EQ(rejected, (std::vector<std::pair<std::string, std::string>>{
                          {"table", "not host:port"},
                          {":3333", "no host before the port"},
                          {"host:", "no port after the colon"},
                          {"host:0", "the port must be 1 to 65535"},
                          {"host:65536", "the port must be 1 to 65535"},
                          {"host:99999999999999999999", "the port must be 1 to 65535"},
                          {"host:33a", "the port is not a number"},
                          {"host:-1", "the port is not a number"},
                          {"::1:3333", "an IPv6 address goes in brackets, as [::1]:3333"},
                          {"my host:1", "not a host name or address"},
                          {"[]:1", "no host before the port"},
                          {"good:1", "listed before"},
                      }));
}

}  // namespace
}  // namespace scantouch
