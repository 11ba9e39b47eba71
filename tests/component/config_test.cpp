// The configuration blob as the host hands it over and collects it; how a
// blob of any shape is read is the pure tests' and the fuzzer's.
#include <string>

#include "component/component_fixture.h"
#include "support/blob.h"
#include "support/import_table.h"

namespace {

using testing_support::blob_values;
using testing_support::BlobBuilder;

TEST_F(ComponentTest, DefaultsAreThe73ByteBlob) {
  const std::vector<uint8_t> expected = {
      16,  0,   0,   0,   'm', 'i', 'x', 'e', 'r', '_', 'm', 'u', 't', 'e', '_', 'l', 'e', 'v', 'e',
      'l', 4,   0,   0,   0,   0,   0,   0,   0,   13,  0,   0,   0,   'm', 'i', 'x', 'e', 'r', '_',
      'c', 'o', 'n', 't', 'r', 'o', 'l', 4,   0,   0,   0,   0,   0,   0,   0,   8,   0,   0,   0,
      'm', 'i', 'x', 'e', 'r', '_', 'i', 'd', 4,   0,   0,   0,   0,   0,   0,   0};
  ASSERT_EQ(73u, expected.size());
  EXPECT_EQ(expected, component.write_config());
}

TEST_F(ComponentTest, ABlobReadAndWrittenComesBackByteForByte) {
  const std::vector<uint8_t> blob = BlobBuilder()
                                        .record("mixer_mute_level", 640)
                                        .record("mixer_control", 3)
                                        .record("mixer_id", -7);
  component.read_config(blob);
  const std::vector<uint8_t> written = component.write_config();
  EXPECT_EQ(blob, written);
  component.read_config(written);
  EXPECT_EQ(written, component.write_config());
}

void* __cdecl refuse_malloc(size_t) { return nullptr; }
void* __cdecl refuse_realloc(void*, size_t) { return nullptr; }

// A heap that is short just when the host saves must not reset the choices.
TEST_F(ComponentTest, TheSettingsAreCollectedWholeWhileTheHeapRefuses) {
  const std::vector<uint8_t> blob = BlobBuilder()
                                        .record("mixer_mute_level", 640)
                                        .record("mixer_control", 3)
                                        .record("mixer_id", 2);
  component.read_config(blob);
  testing_support::ImportPatch no_malloc(component.module(), "msvcrt.dll", "malloc",
                                         reinterpret_cast<const void*>(&refuse_malloc));
  testing_support::ImportPatch no_realloc(component.module(), "msvcrt.dll", "realloc",
                                          reinterpret_cast<const void*>(&refuse_realloc));
  ASSERT_TRUE(no_malloc.applied() && no_realloc.applied());
  EXPECT_EQ(blob, component.write_config());
}

TEST_F(ComponentTest, TheReservedOperationLeavesTheSettingsAlone) {
  component.read_config(BlobBuilder().record("mixer_id", 2));
  component.reserved();
  EXPECT_EQ(2, blob_values(component.write_config()).at("mixer_id"));
}

}  // namespace
