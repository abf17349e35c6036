#include "test_support/scoped_temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

ScopedTempDir::ScopedTempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (;;) {
    std::ostringstream name;
    name << "ostra-test-" << std::hex << random();
    fs::path candidate = fs::temp_directory_path() / name.str();
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      // The absolute, canonical form, so that tests compare against what the code resolves.
      root = fs::canonical(candidate);
      return;
    }
  }
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code error;
  fs::remove_all(root, error);
}

std::string ScopedTempDir::PathOf(const std::string& name) const {
  return (root / fs::path(name)).make_preferred().string();
}

std::string ScopedTempDir::WriteFile(const std::string& name, const std::string& bytes) const {
  std::string full = PathOf(name);
  std::error_code error;
  fs::create_directories(fs::path(full).parent_path(), error);
  WriteBytes(full, bytes);
  return full;
}

std::string ScopedTempDir::ReadFile(const std::string& name) const { return ReadBytes(PathOf(name)); }

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::path(path), error);
}
