// The main of a fuzz target built without libFuzzer: feeds every file named
// on the command line, or found under a folder named there, to the target
// once, in name order. A broken property aborts, so a clean exit means the
// whole corpus passed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool read_file(const std::filesystem::path& path, std::vector<char>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      for (const auto& entry : fs::recursive_directory_iterator(arg, ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else if (fs::is_regular_file(arg, ec)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...: no inputs found\n", argv[0]);
    return 2;
  }
  std::sort(files.begin(), files.end());
  std::vector<char> content;
  for (const fs::path& path : files) {
    if (!read_file(path, content)) {
      std::fprintf(stderr, "%s: cannot read\n", path.string().c_str());
      return 2;
    }
    // An exact-size copy, so that the sanitizers see any read past the end.
    const size_t size = content.size();
    const auto copy = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
    std::copy(content.begin(), content.end(), copy.get());
    LLVMFuzzerTestOneInput(copy.get(), size);
  }
  std::printf("%zu inputs passed\n", files.size());
  return 0;
}
