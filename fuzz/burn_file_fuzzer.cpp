// Stamps files made from the fuzzer's input and checks the outcome and every byte of the result
// against a plain reference: a search over the whole original and the 80-byte block rule.
//
// Input: [marker length] [replacement length] [padding] [padding shift] [padding unit length]
//        [marker bytes] [replacement bytes] [file content...]
// The padding puts the content near the end of one of the first reads, where markers straddle
// windows; inputs of a few kilobytes would never get there on their own. It repeats the first
// bytes of the content, so that periodic data with a flaw in each period (which defeats a search
// testing a few marker bytes) runs for tens of kilobytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include "stamp/burn_file.h"
#include "stamp/marker_search.h"

namespace {

constexpr size_t kWindow = 32767;

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

void RemoveFolder() {
  std::error_code error;
  std::filesystem::remove_all(Folder(), error);
}

// One file in a folder of its own, made on the first run and removed at exit.
const std::string& FilePath() {
  static const std::string path = [] {
    std::random_device seed;
    Folder() = std::filesystem::temp_directory_path() /
               ("ostra-burn-fuzz-" + std::to_string(seed()));
    std::filesystem::create_directories(Folder());
    std::atexit(RemoveFolder);
    return (Folder() / "stamped.bin").string();
  }();
  return path;
}

// Marker and replacement are zero-terminated strings: a zero byte from the input becomes 1.
std::string TakeText(const uint8_t*& data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::replace(text.begin(), text.end(), '\0', '\1');
  data += size;
  return text;
}

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "mismatch: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5)
    return 0;
  const size_t markerLength = 1 + data[0] % 80;
  const size_t replacementLength = data[1] % 80;
  const size_t reads = data[2] % 4;
  const size_t shift = data[3] % (2 * markerLength + 1);
  const size_t unitLength = 1 + data[4] % 128;
  data += 5;
  size -= 5;
  if (size < markerLength + replacementLength)
    return 0;
  const std::string marker = TakeText(data, markerLength);
  const std::string replacement = TakeText(data, replacementLength);
  size -= markerLength + replacementLength;

  // Read n ends at file byte n * W - (n - 1) * L; the content starts within L bytes of it.
  size_t padding = 0;
  if (reads > 0)
    padding = reads * kWindow - (reads - 1) * markerLength + shift - markerLength;
  const std::string tail(reinterpret_cast<const char*>(data), size);
  const std::string unit = tail.empty() ? std::string(1, '\0') : tail.substr(0, unitLength);
  std::string content;
  while (content.size() < padding)
    content += unit;
  content.resize(padding);
  content += tail;

  // The reference.
  std::string expected = content;
  const auto at = std::search(expected.begin(), expected.end(), marker.begin(), marker.end());
  const int expectedOutcome = at == expected.end() ? 0 : 1;
  if (expectedOutcome) {
    char block[80] = {};
    std::memcpy(block, replacement.data(), replacement.size());
    std::copy(block, block + markerLength, at);
  }

  // FindMarker over the whole content as one window must agree with the reference.
  const MarkerSearch search(reinterpret_cast<const unsigned char*>(marker.data()),
                            static_cast<int64_t>(marker.size()));
  const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
  int64_t index = -1;
  const unsigned char* found =
      FindMarker(bytes, search, static_cast<int64_t>(content.size()), &index);
  Check((found != nullptr) == static_cast<bool>(expectedOutcome), "FindMarker found");
  if (found)
    Check(index == at - expected.begin() && found == bytes + index, "FindMarker index");

  const std::string& path = FilePath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    Check(static_cast<bool>(out.flush()), "writing the file");
  }
  const int outcome = BurnFile(path.c_str(), marker.c_str(), replacement.c_str());
  std::ifstream in(path, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Check(outcome == expectedOutcome, "outcome");
  Check(after == expected, "file content");
  return 0;
}
