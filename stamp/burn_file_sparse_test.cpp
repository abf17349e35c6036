#include "stamp/burn_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "test_support/scoped_temp_dir.h"

namespace {

constexpr uint64_t k2GiB = uint64_t{1} << 31;
constexpr uint64_t k4GiB = uint64_t{1} << 32;
constexpr uint64_t kFileSize = k4GiB + 65536 + 5;
const std::string kMarker = "MARKER42";
const std::string kValue = "VALUE123";

// Files of just over 4 GiB, made sparse (a seek far ahead and a few bytes), so that they cost
// almost no disk; the folder and the files go when the fixture does.
class BurnFileSparseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(dir.path(), error);
    if (error || space.available < (uint64_t{1} << 30))
      GTEST_SKIP() << "less than 1 GiB free in " << dir.path().string();
  }

  // A zero-filled file of kFileSize bytes with the marker at `at` and its last byte set.
  std::string MakeSparseFile(const std::string& name, uint64_t at) {
    const std::string path = dir.PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.seekp(static_cast<std::streamoff>(at));
    out.write(kMarker.data(), static_cast<std::streamsize>(kMarker.size()));
    out.seekp(static_cast<std::streamoff>(kFileSize - 1));
    out.put('\n');
    EXPECT_TRUE(out.flush()) << "cannot write " << path;
    return path;
  }

  // The `size` bytes of the file at `at`.
  static std::string BytesAt(const std::string& path, uint64_t at, size_t size) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(at));
    std::string bytes(size, '?');
    in.read(&bytes[0], static_cast<std::streamsize>(size));
    return in ? bytes : std::string();
  }

  // Stamps a marker placed at `at` and checks it lands there, and nowhere that a 32-bit or a
  // signed 32-bit offset would have put it.
  void ExpectStampedAt(uint64_t at) {
    const std::string path = MakeSparseFile("sparse.bin", at);
    ASSERT_EQ(BurnFile(path.c_str(), kMarker.c_str(), kValue.c_str()), 1);
    EXPECT_EQ(BytesAt(path, at, kValue.size()), kValue);
    const std::string zeros(kValue.size(), '\0');
    for (uint64_t wrapped : {at % k4GiB, at % k2GiB}) {
      if (wrapped != at) {
        EXPECT_EQ(BytesAt(path, wrapped, zeros.size()), zeros) << "written at " << wrapped;
      }
    }
    std::error_code error;
    EXPECT_EQ(std::filesystem::file_size(path, error), kFileSize);
    EXPECT_EQ(BytesAt(path, kFileSize - 1, 1), "\n");
  }

  ScopedTempDir dir;
};

TEST_F(BurnFileSparseTest, MarkerPast2GiB) { ExpectStampedAt(k2GiB + 3); }

TEST_F(BurnFileSparseTest, MarkerPast4GiB) { ExpectStampedAt(k4GiB + 3); }

// Here the window that holds the marker itself starts past 4 GiB.
TEST_F(BurnFileSparseTest, MarkerWindowsPast4GiB) { ExpectStampedAt(k4GiB + 60003); }

}  // namespace
