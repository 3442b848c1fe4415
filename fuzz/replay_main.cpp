// Runs a fuzz target over files or folders of inputs, for builds without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
int runFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(data.data(), data.size());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (!entry.is_regular_file()) continue;
        failures += runFile(entry.path());
        ++inputs;
      }
    } else {
      failures += runFile(arg);
      ++inputs;
    }
  }
  // An empty corpus is also worth one run: the empty input.
  if (inputs == 0) LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("replayed %d input(s)\n", inputs);
  return failures == 0 ? 0 : 1;
}
