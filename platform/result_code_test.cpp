#include "platform/result_code.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace platform {
namespace {

TEST(ResultFromSystemErrorTest, Table) {
  const struct {
    std::uint32_t error;
    std::uint32_t expected;
  } cases[] = {
      {0, 0},
      {0xFFFFFFFBu, 0xFFFFFFFBu},  // already a failure code: unchanged
      {0x80004005u, 0x80004005u},
      {5, 0x80070005u},
      {0x12345, 0x80072345u},
      {0xFFFF, 0x8007FFFFu},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<ResultCode>(c.expected), ResultFromSystemError(c.error)) << c.error;
  }
}

}  // namespace
}  // namespace platform
