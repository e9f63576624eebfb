#pragma once

#include <string_view>

// The web service's page and scripts, built into the program from src/resources/web: nothing is
// served from disk.
namespace scantouch::web_resources {

extern const std::string_view kIndexHtml;
extern const std::string_view kStatusJs;
extern const std::string_view kTuioJs;

}  // namespace scantouch::web_resources
