#include "platform/out_of_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// What a Linux parent sees of the status -1 is 255; Windows keeps it whole.
#ifdef _WIN32
constexpr int kStatusMinusOne = -1;
#else
constexpr int kStatusMinusOne = 255;
#endif

// The handler runs as operator new runs it when the system refuses memory: the first failure
// still throws, with the reserve given back; the next one ends the process, allocating nothing.
TEST(ScopedOutOfMemoryExitTest, FirstFailureThrowsTheNextEndsWithMinusOne) {
  EXPECT_EXIT(
      {
        const platform::ScopedOutOfMemoryExit guard("Out of memory.");
        try {
          std::get_new_handler()();
          std::abort();
        } catch (const std::bad_alloc&) {
        }
        std::get_new_handler()();
        std::abort();
      },
      ::testing::ExitedWithCode(kStatusMinusOne), "");
}

TEST(ScopedOutOfMemoryExitTest, TheHandlerBeforeComesBack) {
  const std::new_handler before = std::get_new_handler();
  { const platform::ScopedOutOfMemoryExit guard("Out of memory."); }
  EXPECT_EQ(before, std::get_new_handler());
}

}  // namespace
