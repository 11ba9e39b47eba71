// Growth rules and heap management of ByteBlock.
#include "text/byte_block.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace dwx {

namespace {

constexpr uint32_t largest_power_of_two = 0x80000000u;

// The first power of two (from `capacity`, or 1) that holds n; 0 when none
// fits in 32 bits, so that a huge request fails instead of wrapping round.
uint32_t grown_capacity(uint32_t capacity, uint32_t n) {
  uint32_t chosen = capacity != 0 ? capacity : 1;
  while (chosen < n) {
    if (chosen >= largest_power_of_two) return 0;
    chosen *= 2;
  }
  return chosen;
}

}  // namespace

uint32_t capacity_for(GrowthMode mode, uint32_t capacity, uint32_t n) {
  switch (mode) {
    case GrowthMode::exact:
      return n;
    case GrowthMode::power_of_two: {
      if (n == 0) return 0;
      uint32_t chosen = grown_capacity(capacity, n);
      while (chosen / 2 > n)
        chosen /= 2;  // stops at 1 at the latest: n >= 1
      return chosen;
    }
    case GrowthMode::grow_only:
      if (n == 0) return capacity;
      return grown_capacity(capacity, n);
  }
  return 0;
}

// An empty block calls nothing: a copy on the stack for a window's text,
// made at every move of a drag, never had a heap block to give back.
ByteBlock::~ByteBlock() {
  if (data_ != nullptr) std::free(data_);
}

ByteBlock::ByteBlock(ByteBlock&& other) noexcept : ByteBlock(other.mode_) {
  *this = std::move(other);
}

ByteBlock& ByteBlock::operator=(ByteBlock&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
    size_ = std::exchange(other.size_, 0);
    mode_ = other.mode_;
  }
  return *this;
}

uint8_t* ByteBlock::set_size(uint32_t n) {
  const uint32_t chosen = capacity_for(mode_, capacity_, n);
  if (n != 0 && chosen == 0) return nullptr;  // no capacity the rule allows can hold n
  if (chosen != capacity_) {
    if (chosen == 0) {
      std::free(data_);
      data_ = nullptr;
    } else if (data_ == nullptr) {
      void* fresh = std::malloc(chosen);
      if (fresh == nullptr) return nullptr;
      data_ = static_cast<uint8_t*>(fresh);
    } else {
      void* moved = std::realloc(data_, chosen);
      if (moved != nullptr) {
        data_ = static_cast<uint8_t*>(moved);
      } else if (chosen > capacity_) {
        return nullptr;
      } else {
        // A shrink the heap refused: the larger memory still holds n bytes,
        // and callers that drop entries must not see it fail.
        size_ = n;
        return data_;
      }
    }
    capacity_ = chosen;
  }
  size_ = n;
  return data_;
}

uint8_t* ByteBlock::ensure_size(uint32_t n) {
  if (size_ < n) return set_size(n);
  return data_;
}

uint8_t* ByteBlock::write_at(uint32_t offset, const void* source, uint32_t count) {
  const uint32_t end = offset + count;
  if (end < offset) return nullptr;  // the block cannot reach past 4 GB
  // A source inside this block (b.append(b.data(), n)) moves with it when it
  // grows: it is found again by its offset. Compared as addresses, since
  // unrelated pointers have no order; an empty block has no inside.
  const uintptr_t from = reinterpret_cast<uintptr_t>(source) - reinterpret_cast<uintptr_t>(data_);
  const bool inside = from < capacity_;
  if (size_ < end && set_size(end) == nullptr) return nullptr;
  if (inside) source = data_ + from;
  uint8_t* at = data_ + offset;
  if (count != 0) {
    if (source != nullptr) {
      std::memmove(at, source, count);
    } else {
      std::memset(at, 0, count);
    }
  }
  return at;
}

}  // namespace dwx
