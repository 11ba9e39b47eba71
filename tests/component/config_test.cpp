// The configuration blob as the host hands it over and collects it.
#include <string>

#include "component/component_fixture.h"
#include "support/blob.h"
#include "support/import_table.h"

namespace {

using testing_support::blob_values;
using testing_support::BlobBuilder;

std::vector<uint8_t> defaults() {
  return BlobBuilder()
      .record("mixer_mute_level", 0)
      .record("mixer_control", 0)
      .record("mixer_id", 0);
}

TEST_F(ComponentTest, DefaultsAreThe73ByteBlob) {
  const std::vector<uint8_t> expected = {
      16,  0,   0,   0,   'm', 'i', 'x', 'e', 'r', '_', 'm', 'u', 't', 'e', '_', 'l', 'e', 'v', 'e',
      'l', 4,   0,   0,   0,   0,   0,   0,   0,   13,  0,   0,   0,   'm', 'i', 'x', 'e', 'r', '_',
      'c', 'o', 'n', 't', 'r', 'o', 'l', 4,   0,   0,   0,   0,   0,   0,   0,   8,   0,   0,   0,
      'm', 'i', 'x', 'e', 'r', '_', 'i', 'd', 4,   0,   0,   0,   0,   0,   0,   0};
  ASSERT_EQ(73u, expected.size());
  EXPECT_EQ(expected, component.write_config());
}

TEST_F(ComponentTest, EachFieldOfARecordIsOneWrite) {
  standin::WriterObject writer;
  component.write_config(writer);
  EXPECT_EQ(3 * 4, writer.writes) << "name length, name, value size, value";
  EXPECT_EQ(73u, writer.bytes.size());
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

TEST_F(ComponentTest, RecordsApplyInAnyOrderAndTheLastOfANameWins) {
  component.read_config(BlobBuilder()
                            .record("mixer_id", 1)
                            .record("mixer_control", 3)
                            .record("mixer_control", 5)
                            .record("unknown_setting", 99)
                            .record_bytes("mixer_mute_level", std::string("\x10\x00", 2))
                            .record("mixer_mute_level", 300));
  const auto values = blob_values(component.write_config());
  EXPECT_EQ(1, values.at("mixer_id"));
  EXPECT_EQ(5, values.at("mixer_control"));
  EXPECT_EQ(300, values.at("mixer_mute_level"));
  EXPECT_EQ(0u, values.count("unknown_setting")) << "the component writes only its own";
}

TEST_F(ComponentTest, ABlobCutAnywhereAppliesTheRecordsBeforeTheCut) {
  const std::vector<uint8_t> full = BlobBuilder()
                                        .record("mixer_id", 11)
                                        .record("mixer_control", 22)
                                        .record("mixer_mute_level", 33);
  const size_t record_ends[] = {20, 45, 73};
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    component.read_config(defaults());
    component.read_config(full.data(), static_cast<unsigned>(cut));
    const auto values = blob_values(component.write_config());
    EXPECT_EQ(cut >= record_ends[0] ? 11 : 0, values.at("mixer_id")) << "cut at " << cut;
    EXPECT_EQ(cut >= record_ends[1] ? 22 : 0, values.at("mixer_control")) << "cut at " << cut;
    EXPECT_EQ(cut >= record_ends[2] ? 33 : 0, values.at("mixer_mute_level")) << "cut at " << cut;
  }
}

TEST_F(ComponentTest, LengthsRunningPastTheEndStopTheReading) {
  component.read_config(BlobBuilder()
                            .record("mixer_id", 4)
                            .u32(0xFFFFFFFFu)  // a name longer than anything left
                            .raw("mixer_control")
                            .u32(4)
                            .u32(9));
  auto values = blob_values(component.write_config());
  EXPECT_EQ(4, values.at("mixer_id"));
  EXPECT_EQ(0, values.at("mixer_control"));

  component.read_config(
      BlobBuilder().record("mixer_id", 6).u32(13).raw("mixer_control").u32(0xFFFFFFFCu).u32(9));
  values = blob_values(component.write_config());
  EXPECT_EQ(6, values.at("mixer_id"));
  EXPECT_EQ(0, values.at("mixer_control"));
}

TEST_F(ComponentTest, TheReservedOperationLeavesTheSettingsAlone) {
  component.read_config(BlobBuilder().record("mixer_id", 2));
  component.reserved();
  EXPECT_EQ(2, blob_values(component.write_config()).at("mixer_id"));
}

}  // namespace
