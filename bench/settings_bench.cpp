// How long one keystroke's settings write takes: one key written into a settings file of the
// usual size on this machine's disk, the flush to disk and the rename included.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "config/ini_store.h"
#include "config/settings_file.h"
#include "posix/iconv_text_codec.h"
#include "posix/posix_file_access.h"

namespace {

using namespace scantouch;
namespace keys = main_settings;

void WriteOneKey(benchmark::State& state) {
  const auto directory =
      std::filesystem::current_path() / ("settings-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  PosixFileAccess files;
  IconvTextCodec gbk("CP936");
  IniStore store(files, gbk);
  FixedDirectory where(directory.string());
  SettingsFile file(store, where, keys::kFileName);

  // A file as a set-up installation has it: every key of the main settings.
  file.write(keys::kActions, keys::kHideAtStartup, "0");
  file.write(keys::kActions, keys::kMouseClick, "1");
  file.write(keys::kActions, keys::kMouseMove, "1");
  file.write(keys::kProgram, keys::kRunAtStartup, "0");
  file.write(keys::kNetwork, keys::kUseNetwork, "1");
  file.write(keys::kDisplayMode, keys::kDisplayMode, "2");
  file.write(keys::kViewRange, keys::kViewRange, "0");
  file.write(keys::kSerial, keys::kPort, "3");
  file.write(keys::kParameters, keys::kScannerPosition, "7500,7500");
  file.write(keys::kParameters, keys::kScreenSize, "1920,1080");
  file.write(keys::kParameters, keys::kScreenTopLeft, "0,0");
  file.write(keys::kParameters, keys::kCalibTopLeft, "5000,2000");
  file.write(keys::kParameters, keys::kCalibSize, "5000,3000");
  file.write(keys::kParameters, keys::kSensitivity, "2");
  file.write(keys::kParameters, keys::kAngleCorrection, "0");

  int keystroke = 0;
  for (auto _ : state) {
    // A different value every time, as typing gives: every iteration really writes.
    file.write(keys::kParameters, keys::kScreenSize,
               "1920," + std::to_string(1000 + keystroke++ % 1000));
  }
  std::filesystem::remove_all(directory);
}
BENCHMARK(WriteOneKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
