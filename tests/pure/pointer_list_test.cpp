// PointerList: ordered insertion and removal over a power-of-two block.
#include "text/pointer_list.h"

#include <gtest/gtest.h>

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
  ~PointerListTest() override { list.free_memory(); }
  PointerList list = empty_pointer_list();
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
  EXPECT_EQ(list.block.size, 5 * sizeof(void*));
  EXPECT_EQ(list.block.capacity, 8 * sizeof(void*));
}

TEST_F(PointerListTest, RemoveDropsEveryCopyAndKeepsTheRestInOrder) {
  for (int* item : {&items[0], &items[1], &items[2], &items[1], &items[3], &items[1]}) {
    list.append(item);
  }
  list.remove(&items[1]);
  EXPECT_EQ(entries_of(list), (std::vector<void*>{&items[0], &items[2], &items[3]}));
  EXPECT_EQ(list.block.size, 3 * sizeof(void*));
  EXPECT_EQ(list.block.capacity, 4 * sizeof(void*)) << "the power-of-two rule shrinks it";
}

TEST_F(PointerListTest, RemoveOfAnAbsentItemLeavesTheArrayAlone) {
  list.append(&items[0]);
  list.append(&items[1]);
  list.append(&items[2]);
  const ByteBlock before = list.block;
  list.remove(&items[5]);
  list.remove(nullptr);
  EXPECT_EQ(list.block.data, before.data);
  EXPECT_EQ(list.block.size, before.size);
  EXPECT_EQ(list.block.capacity, before.capacity);
}

TEST_F(PointerListTest, RemovingTheOnlyEntriesFreesTheArray) {
  list.append(&items[2]);
  list.append(&items[2]);
  list.remove(&items[2]);
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.block.data, nullptr);
  EXPECT_EQ(list.block.capacity, 0u);
}

TEST_F(PointerListTest, RemoveAllFreesTheArray) {
  list.remove_all();  // on an empty list: nothing to do
  for (int& item : items)
    list.append(&item);
  list.remove_all();
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(list.block.data, nullptr);
  EXPECT_EQ(list.block.capacity, 0u);
  EXPECT_EQ(list.append(&items[0]), 0) << "the list is usable again";
}

}  // namespace
}  // namespace dwx
