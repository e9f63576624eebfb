// Runs a fuzz target without libFuzzer: every file of the corpus given (files or folders), then a
// number of inputs made by changing corpus entries at random, from a fixed seed so that a failure
// can be repeated.
//
//   <target> CORPUS... [--mutations N] [--seed S]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::vector<std::uint8_t>;

Input ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Input(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Run(const Input& input) {
  LLVMFuzzerTestOneInput(input.data(), input.size());
}

Input Mutate(const std::vector<Input>& corpus, std::mt19937& random) {
  Input input = corpus.empty() ? Input{} : corpus[random() % corpus.size()];
  const int changes = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < changes; ++i) {
    const std::size_t at = input.empty() ? 0 : random() % input.size();
    switch (random() % 5) {
      case 0:  // a new byte
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                     static_cast<std::uint8_t>(random()));
        break;
      case 1:  // a lost byte
        if (!input.empty())
          input.erase(input.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 2:  // a changed byte
        if (!input.empty())
          input[at] = static_cast<std::uint8_t>(random());
        break;
      case 3:  // a flipped bit
        if (!input.empty())
          input[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
      default:  // a piece of another entry
        if (!corpus.empty()) {
          const Input& other = corpus[random() % corpus.size()];
          if (!other.empty()) {
            const std::size_t from = random() % other.size();
            const std::size_t length =
                1 + random() % std::min<std::size_t>(64, other.size() - from);
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                         other.begin() + static_cast<std::ptrdiff_t>(from),
                         other.begin() + static_cast<std::ptrdiff_t>(from + length));
          }
        }
        break;
    }
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Input> corpus;
  long mutations = 0;
  unsigned long seed = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--mutations" && i + 1 < argc) {
      mutations = std::atol(argv[++i]);
    } else if (argument == "--seed" && i + 1 < argc) {
      seed = std::strtoul(argv[++i], nullptr, 10);
    } else if (std::filesystem::is_directory(argument)) {
      for (const auto& entry : std::filesystem::directory_iterator(argument)) {
        if (entry.is_regular_file())
          corpus.push_back(ReadFile(entry.path()));
      }
    } else if (std::filesystem::is_regular_file(argument)) {
      corpus.push_back(ReadFile(argument));
    } else {
      std::fprintf(stderr, "no such corpus: %s\n", argument.c_str());
      return 2;
    }
  }
  for (const Input& input : corpus)
    Run(input);
  std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
  for (long i = 0; i < mutations; ++i)
    Run(Mutate(corpus, random));
  std::printf("%zu corpus entries and %ld changed inputs: nothing found\n", corpus.size(),
              mutations);
  return 0;
}
