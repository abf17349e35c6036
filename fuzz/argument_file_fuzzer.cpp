// Feeds arbitrary bytes to the argument-file step: either straight to the tokeniser, or as the
// contents of a file named with "@", so that the loader's encoding checks and nested names see
// them; or, as UTF-16 units, to the exact conversion, which must never substitute a character.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "app/ostra_command_line.h"
#include "platform/current_directory.h"
#include "platform/text_encoding.h"

namespace {

// One folder for the whole run: making one per input would cost more than the parse itself.
class FuzzFolder {
 public:
  FuzzFolder() {
    std::random_device seed;
    for (;;) {
      root = std::filesystem::temp_directory_path() /
              ("ostra-fuzz-" + std::to_string(std::mt19937_64(seed())()));
      std::error_code error;
      if (std::filesystem::create_directory(root, error))
        break;
      if (error)
        std::abort();
    }
    argumentFileName = (root / "args.rsp").string();
  }
  ~FuzzFolder() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
  }

  const std::string& argumentFile() const { return argumentFileName; }

 private:
  std::filesystem::path root;
  std::string argumentFileName;
};

void CheckOutcome(const OstraCommandLine& parser, bool ok) {
  if (ok != parser.GetErrorText().empty())
    std::abort();
}

// The exact conversion either fails or gives what the display conversion gives with no "?" of its
// own: every "?" in its text was a "?" in the units.
void CheckExactConversion(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(&units[0], bytes.data(), units.size() * 2);
  std::string exact;
  const std::string shown = platform::ConvertUtf16ToNarrow(units.data(), units.size());
  const auto marks = [](const auto& text) { return std::count(text.begin(), text.end(), '?'); };
  if (platform::ConvertUtf16ToNarrowExactly(units.data(), units.size(), &exact)) {
    if (exact != shown || marks(exact) != marks(units))
      std::abort();
  } else if (marks(shown) <= marks(units)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzFolder folder;
  if (size == 0)
    return 0;
  if ((data[0] & 2) != 0) {
    CheckExactConversion(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  const bool asFile = (data[0] & 1) != 0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string before = platform::GetCurrentDirectoryPath();

  OstraCommandLine parser;
  if (asFile) {
    {
      std::ofstream out(folder.argumentFile(), std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out.flush())
        std::abort();
    }
    CheckOutcome(parser, parser.ParseTokens({"@" + folder.argumentFile()}));
  } else {
    CheckOutcome(parser, parser.ParseArgumentText(bytes));
  }

  if (platform::GetCurrentDirectoryPath() != before)
    std::abort();
  return 0;
}
