// ByteBlock: the three growth rules, writes, and requests that cannot be met.
#include "text/byte_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

namespace dwx {
namespace {

struct CapacityCase {
  GrowthMode mode;
  uint32_t capacity;
  uint32_t n;
  uint32_t expected;
};

TEST(ByteBlockTest, CapacityFollowsTheModeRule) {
  const CapacityCase cases[] = {
      {GrowthMode::exact, 0, 5, 5},
      {GrowthMode::exact, 64, 3, 3},
      {GrowthMode::exact, 64, 0, 0},
      {GrowthMode::power_of_two, 0, 5, 8},
      {GrowthMode::power_of_two, 0, 8, 8},
      {GrowthMode::power_of_two, 8, 4, 8},  // half of 8 is not greater than 4
      {GrowthMode::power_of_two, 8, 3, 4},
      {GrowthMode::power_of_two, 32, 8, 16},
      {GrowthMode::power_of_two, 1024, 1, 2},  // halving stops once half is not above n
      {GrowthMode::power_of_two, 0, 1, 1},
      {GrowthMode::power_of_two, 8, 0, 0},
      {GrowthMode::power_of_two, 1, 0x80000000u, 0x80000000u},
      {GrowthMode::grow_only, 0, 1, 1},
      {GrowthMode::grow_only, 0, 9, 16},
      {GrowthMode::grow_only, 32, 8, 32},
      {GrowthMode::grow_only, 32, 0, 32},
      // Beyond the largest 32-bit power of two no capacity fits: 0, not a wrap.
      {GrowthMode::power_of_two, 0, 0x80000001u, 0},
      {GrowthMode::grow_only, 0x80000000u, ~0u, 0},
  };
  for (const CapacityCase& c : cases) {
    EXPECT_EQ(capacity_for(c.mode, c.capacity, c.n), c.expected)
        << "mode " << static_cast<int>(c.mode) << ", capacity " << c.capacity << ", n " << c.n;
  }
}

TEST(ByteBlockTest, PowerOfTwoBlockGrowsShrinksAndFrees) {
  ByteBlock block(GrowthMode::power_of_two);
  ASSERT_NE(block.set_size(5), nullptr);
  EXPECT_EQ(block.capacity(), 8u);
  std::memset(block.data(), 0xAB, 5);
  ASSERT_NE(block.set_size(4), nullptr);
  EXPECT_EQ(block.capacity(), 8u);
  EXPECT_EQ(block.size(), 4u);
  ASSERT_NE(block.set_size(100), nullptr);
  EXPECT_EQ(block.capacity(), 128u);
  EXPECT_EQ(block.data()[3], 0xAB) << "growing keeps the content";
  ASSERT_NE(block.set_size(40), nullptr);
  EXPECT_EQ(block.capacity(), 64u);
  EXPECT_EQ(block.set_size(0), nullptr);
  EXPECT_EQ(block.data(), nullptr);
  EXPECT_EQ(block.capacity(), 0u);
  EXPECT_EQ(block.size(), 0u);
}

TEST(ByteBlockTest, GrowOnlyBlockKeepsItsMemoryAtSizeZero) {
  ByteBlock block(GrowthMode::grow_only);
  uint8_t* data = block.set_size(20);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(block.set_size(0), data);
  EXPECT_EQ(block.capacity(), 32u);
  EXPECT_EQ(block.size(), 0u);
  EXPECT_EQ(block.set_size(3), data);
  EXPECT_EQ(block.capacity(), 32u);
}

TEST(ByteBlockTest, ExactBlockCapacityAlwaysEqualsSize) {
  ByteBlock block(GrowthMode::exact);
  for (uint32_t n : {7u, 1u, 300u, 299u, 0u, 2u}) {
    block.set_size(n);
    EXPECT_EQ(block.capacity(), n);
    EXPECT_EQ(block.size(), n);
    EXPECT_EQ(block.data() == nullptr, n == 0);
  }
}

TEST(ByteBlockTest, WritesCopyOrZeroAndGrowAsNeeded) {
  ByteBlock block(GrowthMode::exact);
  uint8_t* at = block.append("abc", 3);
  ASSERT_NE(at, nullptr);
  EXPECT_EQ(at, block.data());
  at = block.append(nullptr, 2);
  ASSERT_NE(at, nullptr);
  EXPECT_EQ(at, block.data() + 3);
  at = block.write_at(1, "XY", 2);
  EXPECT_EQ(at, block.data() + 1);
  EXPECT_EQ(block.size(), 5u) << "a write inside the block does not change its size";
  EXPECT_EQ(std::memcmp(block.data(), "aXY\0\0", 5), 0);
}

// The source lies in the block itself, and the write makes the block move:
// the bytes must come from where the block now is.
TEST(ByteBlockTest, AWriteFromInsideTheBlockSurvivesItsGrowth) {
  const struct {
    GrowthMode mode;
    uint32_t from, count, to;
    const char* expected;
  } cases[] = {
      {GrowthMode::exact, 0, 6, 6, "abcdefabcdef"},         // b.append(b.data(), b.size())
      {GrowthMode::power_of_two, 0, 6, 6, "abcdefabcdef"},  // 8 bytes become 16
      {GrowthMode::grow_only, 2, 3, 6, "abcdefcde"},
      {GrowthMode::exact, 4, 2, 5, "abcdeef"},  // overlapping the end it grows past
  };
  for (const auto& c : cases) {
    ByteBlock block(c.mode);
    ASSERT_NE(block.append("abcdef", 6), nullptr);
    const uint32_t end = c.to + c.count;
    uint8_t* at = block.write_at(c.to, block.data() + c.from, c.count);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at, block.data() + c.to);
    ASSERT_EQ(block.size(), end);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), end),
              std::string(c.expected, end))
        << "mode " << static_cast<int>(c.mode) << ", from " << c.from << " to " << c.to;
  }
}

TEST(ByteBlockTest, UnsatisfiableGrowthFailsAndLeavesTheBlockAlone) {
  ByteBlock block(GrowthMode::power_of_two);
  uint8_t* data = block.append("abcd", 4);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(block.set_size(0x90000000u), nullptr);
  EXPECT_EQ(block.ensure_size(0x90000000u), nullptr);
  // An end offset past 4 GB must not wrap round to a small write.
  EXPECT_EQ(block.write_at(0xFFFFFFFEu, "xyz", 3), nullptr);
  EXPECT_EQ(block.data(), data);
  EXPECT_EQ(block.capacity(), 4u);
  EXPECT_EQ(block.size(), 4u);
  EXPECT_EQ(std::memcmp(block.data(), "abcd", 4), 0);
}

// The native build's leak checker sees any memory a block fails to give back.
TEST(ByteBlockTest, MovingHandsTheMemoryOverAndItsLastOwnerFreesIt) {
  static_assert(
      !std::is_copy_constructible<ByteBlock>::value && !std::is_copy_assignable<ByteBlock>::value,
      "one owner at a time");
  ByteBlock first(GrowthMode::grow_only);
  uint8_t* data = first.append("abc", 3);
  ASSERT_NE(data, nullptr);
  ByteBlock second(std::move(first));
  EXPECT_EQ(second.data(), data);
  EXPECT_EQ(second.size(), 3u);
  EXPECT_EQ(second.capacity(), 4u);
  EXPECT_EQ(first.data(), nullptr);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(first.size(), 0u);
  EXPECT_EQ(first.capacity(), 0u);

  ByteBlock third(GrowthMode::exact);
  ASSERT_NE(third.append("old", 3), nullptr);  // freed by the assignment
  third = std::move(second);
  EXPECT_EQ(third.data(), data);
  EXPECT_EQ(third.mode(), GrowthMode::grow_only);
  EXPECT_EQ(std::memcmp(third.data(), "abc", 3), 0);
  ASSERT_NE(first.append("again", 5), nullptr) << "an emptied block is usable again";
  EXPECT_EQ(first.mode(), GrowthMode::grow_only);
}

}  // namespace
}  // namespace dwx
