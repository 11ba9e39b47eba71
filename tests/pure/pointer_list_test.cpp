// PointerList: ordered insertion and removal over a power-of-two block.
#include "text/pointer_list.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

namespace dwx {
namespace {

int items[6];

std::vector<void*> entries_of(const PointerList& list) {
  std::vector<void*> out;
  for (uint32_t i = 0; i < list.count(); ++i)
    out.push_back(list.at(i));
  return out;
}

class PointerListTest : public ::testing::Test {
 protected:
  PointerList list;
};

TEST_F(PointerListTest, InsertKeepsOrderAndRefusesIndexPastTheEnd) {
  EXPECT_EQ(list.append(&items[1]), 0);
  EXPECT_EQ(list.append(&items[3]), 1);
  EXPECT_TRUE(list.insert(&items[0], 0));
  EXPECT_TRUE(list.insert(&items[2], 2));
  EXPECT_TRUE(list.insert(&items[4], 4));
  EXPECT_FALSE(list.insert(&items[5], 6));
  EXPECT_EQ(entries_of(list),
            (std::vector<void*>{&items[0], &items[1], &items[2], &items[3], &items[4]}));
  EXPECT_EQ(list.block().size(), 5 * sizeof(void*));
  EXPECT_EQ(list.block().capacity(), 8 * sizeof(void*));
}

TEST_F(PointerListTest, RemoveDropsEveryCopyAndKeepsTheRestInOrder) {
  for (int* item : {&items[0], &items[1], &items[2], &items[1], &items[3], &items[1]}) {
    list.append(item);
  }
  list.remove(&items[1]);
  EXPECT_EQ(entries_of(list), (std::vector<void*>{&items[0], &items[2], &items[3]}));
  EXPECT_EQ(list.block().size(), 3 * sizeof(void*));
  EXPECT_EQ(list.block().capacity(), 4 * sizeof(void*)) << "the power-of-two rule shrinks it";
}

TEST_F(PointerListTest, RemoveOfAnAbsentItemLeavesTheArrayAlone) {
  list.append(&items[0]);
  list.append(&items[1]);
  list.append(&items[2]);
  const uint8_t* data = list.block().data();
  const uint32_t size = list.block().size();
  const uint32_t capacity = list.block().capacity();
  list.remove(&items[5]);
  list.remove(nullptr);
  EXPECT_EQ(list.block().data(), data);
  EXPECT_EQ(list.block().size(), size);
  EXPECT_EQ(list.block().capacity(), capacity);
}

TEST_F(PointerListTest, RemovingTheOnlyEntriesFreesTheArray) {
  list.append(&items[2]);
  list.append(&items[2]);
  list.remove(&items[2]);
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.block().data(), nullptr);
  EXPECT_EQ(list.block().capacity(), 0u);
}

TEST_F(PointerListTest, RemoveAllFreesTheArray) {
  list.remove_all();  // on an empty list: nothing to do
  for (int& item : items)
    list.append(&item);
  list.remove_all();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.block().data(), nullptr);
  EXPECT_EQ(list.block().capacity(), 0u);
  EXPECT_EQ(list.append(&items[0]), 0) << "the list is usable again";
}

TEST(PointerListOfTest, EntriesComeBackAsTheirOwnTypeAndMoveWithTheList) {
  PointerListOf<int*> list;
  static_assert(std::is_same<decltype(list.at(0)), int*>::value,
                "no cast from void* by the caller");
  list.append(&items[1]);
  list.insert(&items[0], 0);
  list.append(&items[1]);
  list.remove(&items[1]);
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.at(0), &items[0]);
  PointerListOf<int*> taker(std::move(list));
  ASSERT_EQ(taker.count(), 1u);
  EXPECT_EQ(taker.at(0), &items[0]);
  EXPECT_EQ(list.count(), 0u);  // NOLINT(bugprone-use-after-move)
}

}  // namespace
}  // namespace dwx
