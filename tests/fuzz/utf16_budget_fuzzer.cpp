// Fuzzes UTF-16 decoding under a budget of units, on texts that need not be
// terminated.
//
// The input is a text of little-endian 16-bit units, held in a heap block of
// exactly that many units and converted with a budget of exactly that many:
// a look at the unit after the budget is a read past the block. Decoding is
// compared unit by unit with the rule written out here, each character must
// encode back to its own units, and the whole-text conversions must give
// what converting character by character gives. A text too long for
// append_utf16's stack scratch takes the heap instead; the run counts the
// inputs that did and says so at its end, for fuzz.sh to check.
#include <sanitizer/allocator_interface.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/utf8_string.h"
#include "text/utf_codec.h"

namespace {

using dwx::Decoded;

bool high_surrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool low_surrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One character of at most `budget` units: a pair joins, any other unit is
// itself, a 0 unit ends the text. A high surrogate that is the last unit of
// the budget fails, since the unit that would pair with it may not be read.
Decoded expected_decoding(const char16_t* units, size_t budget) {
  if (budget == 0 || units[0] == 0) return Decoded{0, 0};
  const uint32_t first = units[0];
  if (!high_surrogate(first)) return Decoded{first, 1};
  if (budget == 1) return Decoded{0, 0};
  if (!low_surrogate(units[1])) return Decoded{first, 1};
  return Decoded{0x10000 + ((first - 0xD800) << 10) + (units[1] - 0xDC00u), 2};
}

// Converting the text character by character: the units read, the UTF-8,
// and where each character's bytes end in it.
struct Walk {
  size_t units_read = 0;
  std::string utf8;
  std::vector<size_t> ends;
};

void walk(const char16_t* units, size_t budget, Walk& result) {
  result.units_read = 0;
  result.utf8.clear();
  result.ends.clear();
  while (true) {
    const char16_t* at = units + result.units_read;
    const size_t left = budget - result.units_read;
    const Decoded expected = expected_decoding(at, left);
    const Decoded decoded = dwx::decode_utf16(at, static_cast<uint32_t>(left));
    FUZZ_CHECK(decoded.taken == expected.taken && decoded.code_point == expected.code_point);
    if (decoded.taken == 0) return;

    char16_t again[2];
    const uint32_t length = dwx::encode_utf16(decoded.code_point, again);
    FUZZ_CHECK(length == decoded.taken && memcmp(again, at, 2 * length) == 0);

    uint8_t bytes[6];
    const uint32_t byte_count = dwx::encode_utf8(decoded.code_point, bytes);
    FUZZ_CHECK(byte_count != 0);
    result.utf8.append(reinterpret_cast<const char*>(bytes), byte_count);
    result.units_read += decoded.taken;
    result.ends.push_back(result.utf8.size());
  }
}

// utf16_to_utf8 into a heap block of exactly `capacity` bytes.
std::string to_utf8(const char16_t* units, uint32_t budget, uint32_t capacity) {
  const std::unique_ptr<char[]> out(new char[capacity]);
  const uint32_t written = dwx::utf16_to_utf8(units, {out.get(), capacity}, budget);
  if (capacity == 0) {
    FUZZ_CHECK(written == 0);
    return std::string();
  }
  FUZZ_CHECK(written < capacity && out[written] == 0);
  return std::string(out.get(), written);
}

// A block the heap hands out and takes back within one watched call is
// scratch: the string appended to keeps the block it grows into. Seen through
// the sanitizer's allocator hooks, on the fuzzing thread only.
thread_local bool watching = false;
thread_local const volatile void* watched_blocks[8];
thread_local size_t watched_count = 0;
thread_local bool scratch_seen = false;
size_t inputs = 0, inputs_with_heap_scratch = 0;

void on_malloc(const volatile void* block, size_t) {
  if (watching && watched_count < 8) watched_blocks[watched_count++] = block;
}

void on_free(const volatile void* block) {
  if (!watching) return;
  for (size_t i = 0; i < watched_count; ++i)
    scratch_seen = scratch_seen || watched_blocks[i] == block;
}

// The line fuzz.sh reads: a run with 0 here never tested the heap path.
void report_heap_scratch() {
  fprintf(stderr, "path: append_utf16's heap scratch: reached in %zu of %zu inputs\n",
          inputs_with_heap_scratch, inputs);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  __sanitizer_install_malloc_and_free_hooks(on_malloc, on_free);
  atexit(report_heap_scratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t count = size / 2;
  if (count > 0xFFFFFF) return 0;
  const uint32_t budget = static_cast<uint32_t>(count);
  const std::unique_ptr<char16_t[]> text(new char16_t[count]);
  for (size_t i = 0; i < count; ++i)
    text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

  static Walk expected;  // its string's memory kept from run to run
  walk(text.get(), count, expected);
  // The room documented for any text of `budget` units.
  const uint32_t room = 3 * budget + 1;
  const std::string utf8 = to_utf8(text.get(), budget, room);
  FUZZ_CHECK(utf8 == expected.utf8);

  // Back to UTF-16: the units read, exactly; lone surrogates included.
  const uint32_t capacity = static_cast<uint32_t>(utf8.size()) + 1;
  const std::unique_ptr<char16_t[]> wide(new char16_t[capacity]);
  const uint32_t units =
      dwx::utf8_to_utf16(utf8.data(), {wide.get(), capacity}, static_cast<uint32_t>(utf8.size()));
  FUZZ_CHECK(std::u16string(wide.get(), units) == std::u16string(text.get(), expected.units_read));

  dwx::Utf8String string;
  watched_count = 0;
  scratch_seen = false;
  watching = true;
  string.append_utf16(text.get(), budget);
  watching = false;
  ++inputs;
  if (scratch_seen) ++inputs_with_heap_scratch;
  FUZZ_CHECK(string.length() == utf8.size() && utf8 == string.get_text());

  // A budget shorter than the text reads as if the text ended there: the
  // same result as the first units alone in a block of their own.
  if (count != 0) {
    const uint32_t shorter = data[0] % budget;
    const std::unique_ptr<char16_t[]> cut = fuzz::exact_copy(text.get(), shorter);
    FUZZ_CHECK(to_utf8(text.get(), shorter, room) == to_utf8(cut.get(), shorter, 3 * shorter + 1));

    // A destination too small for the text takes the whole characters that
    // leave room for its NUL, and not a byte more.
    const uint32_t small = text[count - 1] % (utf8.size() + 1);
    size_t fits = 0;
    for (size_t i = 0; i < expected.ends.size() && expected.ends[i] < small; ++i)
      fits = expected.ends[i];
    FUZZ_CHECK(to_utf8(text.get(), budget, small) == utf8.substr(0, fits));
  }
  // A terminated text converts the same with no budget at all.
  if (std::char_traits<char16_t>::find(text.get(), count, 0) != nullptr) {
    FUZZ_CHECK(to_utf8(text.get(), ~0u, room) == utf8);
  }
  return 0;
}
