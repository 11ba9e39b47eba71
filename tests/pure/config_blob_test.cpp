// The configuration blob: its exact bytes, and reading whatever a stored file may hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame/config.h"
#include "support/blob.h"

namespace {

using testing_support::BlobBuilder;

class CollectingWriter final : public dwx::ConfigWriter {
 public:
  bool write(const void* bytes, uint32_t count) override {
    const auto* first = static_cast<const uint8_t*>(bytes);
    this->bytes.insert(this->bytes.end(), first, first + count);
    ++writes;
    return false;  // the result means nothing to the list
  }
  std::vector<uint8_t> bytes;
  int writes = 0;
};

// A variable that keeps its value out of the blob.
class SilentVar final : public dwx::ConfigVar {
 public:
  SilentVar(dwx::ConfigList& list, const char* name) : ConfigVar(list, name) {}
  bool write_value(dwx::ConfigWriter&) const override { return false; }
  void read_value(const uint8_t*, uint32_t) override { ++reads; }
  int reads = 0;
};

// The component's three settings, constructed in the component's order.
struct Settings {
  dwx::ConfigList list;
  dwx::ConfigInt id{list, "mixer_id"};
  dwx::ConfigInt control{list, "mixer_control"};
  dwx::ConfigInt mute{list, "mixer_mute_level"};

  std::vector<uint8_t> write() const {
    CollectingWriter writer;
    list.write(writer);
    return writer.bytes;
  }
  void read(const std::vector<uint8_t>& blob) {
    list.read(blob.data(), static_cast<uint32_t>(blob.size()));
  }
  void set_all(int32_t id_value, int32_t control_value, int32_t mute_value) {
    id.set(id_value);
    control.set(control_value);
    mute.set(mute_value);
  }
};

TEST(ConfigBlob, DefaultsAreThreeRecordsNewestFirst) {
  Settings settings;
  const std::vector<uint8_t> expected =
      BlobBuilder().record("mixer_mute_level", 0).record("mixer_control", 0).record("mixer_id", 0);
  EXPECT_EQ(73u, expected.size());
  EXPECT_EQ(expected, settings.write());
}

TEST(ConfigBlob, ValuesAreLittleEndianAndSigned) {
  Settings settings;
  settings.set_all(-2, 0x01020304, 1000);
  const std::vector<uint8_t> blob = settings.write();
  EXPECT_EQ(BlobBuilder()
                .record("mixer_mute_level", 1000)
                .record("mixer_control", 0x01020304)
                .record("mixer_id", -2)
                .bytes(),
            blob);

  Settings other;
  other.read(blob);
  EXPECT_EQ(-2, other.id.value());
  EXPECT_EQ(0x01020304, other.control.value());
  EXPECT_EQ(1000, other.mute.value());
  EXPECT_EQ(blob, other.write());
}

TEST(ConfigBlob, BlobsOfFourBytesOrLessChangeNothing) {
  Settings settings;
  settings.set_all(1, 2, 3);
  const std::vector<uint8_t> source = BlobBuilder().record("mixer_id", 9);
  for (uint32_t size = 0; size <= 4; ++size) {
    settings.list.read(source.data(), size);
    EXPECT_EQ(1, settings.id.value()) << size;
  }
  settings.list.read(nullptr, 0);
  EXPECT_EQ(1, settings.id.value());
}

struct ReadCase {
  const char* what;
  std::vector<uint8_t> blob;
  int32_t id, control, mute;  // starting from 100, 200, 300
};

class ConfigBlobRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ConfigBlobRead, LeavesTheExpectedValues) {
  const ReadCase& c = GetParam();
  Settings settings;
  settings.set_all(100, 200, 300);
  settings.read(c.blob);
  EXPECT_EQ(c.id, settings.id.value()) << c.what;
  EXPECT_EQ(c.control, settings.control.value()) << c.what;
  EXPECT_EQ(c.mute, settings.mute.value()) << c.what;
}

const std::string nul_in_name("mixer_id\0junk", 13);

INSTANTIATE_TEST_SUITE_P(
    Records, ConfigBlobRead,
    ::testing::Values(
        ReadCase{"a value of 2 bytes is ignored and reading goes on",
                 BlobBuilder()
                     .record_bytes("mixer_id", std::string("\x05\x00", 2))
                     .record("mixer_control", 7),
                 100, 7, 300},
        ReadCase{"a value of 8 bytes is ignored too",
                 BlobBuilder()
                     .record_bytes("mixer_id", std::string(8, '\x01'))
                     .record("mixer_mute_level", 9),
                 100, 200, 9},
        ReadCase{"names differing in case match nothing",
                 BlobBuilder().record("Mixer_Id", 1).record("MIXER_CONTROL", 2), 100, 200, 300},
        ReadCase{"a prefix or an extension of a name matches nothing",
                 BlobBuilder().record("mixer_i", 1).record("mixer_idx", 2), 100, 200, 300},
        ReadCase{"the later of two records wins",
                 BlobBuilder().record("mixer_control", 3).record("mixer_control", 5), 100, 5, 300},
        ReadCase{"a record cut inside its value is ignored, the ones before apply",
                 [] {
                   std::vector<uint8_t> b =
                       BlobBuilder().record("mixer_id", 1).record("mixer_control", 2);
                   b.pop_back();
                   return b;
                 }(),
                 1, 200, 300},
        ReadCase{"one to four stray bytes after the last record are ignored",
                 BlobBuilder().record("mixer_id", 4).raw("\x08\x00\x00\x00"), 4, 200, 300},
        ReadCase{"a NUL inside the name field ends the name",
                 BlobBuilder().u32(13).raw(nul_in_name).u32(4).u32(42).record("mixer_control", 43),
                 42, 43, 300},
        ReadCase{
            "unknown names are skipped by their value size",
            BlobBuilder().record_bytes("volume_skin", std::string(37, 'x')).record("mixer_id", 5),
            5, 200, 300},
        ReadCase{
            "a name length past the end stops the reading",
            BlobBuilder().record("mixer_id", 6).u32(0xFFFFFFFFu).raw("mixer_control").u32(4).u32(7),
            6, 200, 300},
        ReadCase{"a value size past the end stops the reading",
                 BlobBuilder()
                     .record("mixer_id", 6)
                     .u32(13)
                     .raw("mixer_control")
                     .u32(0xFFFFFFFCu)
                     .u32(7),
                 6, 200, 300},
        ReadCase{"an empty name matches nothing",
                 BlobBuilder().u32(0).u32(4).u32(1).record("mixer_mute_level", 8), 100, 200, 8}));

TEST(ConfigBlob, EveryPrefixOfABlobAppliesExactlyItsCompleteRecords) {
  const std::vector<uint8_t> full = BlobBuilder()
                                        .record("mixer_mute_level", 33)
                                        .record_bytes("other", "xyz")
                                        .record("mixer_control", 22)
                                        .record("mixer_id", 11);
  // Where each record ends: 28, 44, 69, 89.
  for (uint32_t cut = 0; cut <= full.size(); ++cut) {
    // Exactly that long: a read past its end trips the address sanitizer.
    const std::vector<uint8_t> prefix(full.begin(), full.begin() + cut);
    Settings settings;
    settings.list.read(prefix.data(), cut);
    EXPECT_EQ(cut >= 28 ? 33 : 0, settings.mute.value()) << cut;
    EXPECT_EQ(cut >= 69 ? 22 : 0, settings.control.value()) << cut;
    EXPECT_EQ(cut >= 89 ? 11 : 0, settings.id.value()) << cut;
  }
}

TEST(ConfigBlob, AVariableThatWritesNothingIsLeftOutButStillReads) {
  dwx::ConfigList list;
  dwx::ConfigInt first(list, "first");
  SilentVar silent(list, "silent");
  dwx::ConfigInt last(list, "last");
  CollectingWriter writer;
  list.write(writer);
  EXPECT_EQ(BlobBuilder().record("last", 0).record("first", 0).bytes(), writer.bytes);
  EXPECT_EQ(8, writer.writes) << "four writes a record";

  const std::vector<uint8_t> blob = BlobBuilder().record_bytes("silent", "abc").record("first", 1);
  list.read(blob.data(), static_cast<uint32_t>(blob.size()));
  EXPECT_EQ(1, silent.reads);
  EXPECT_EQ(1, first.value());
}

// A variable whose value is text, written in pieces of a given size.
class TextVar final : public dwx::ConfigVar {
 public:
  TextVar(dwx::ConfigList& list, const char* name) : ConfigVar(list, name) {}
  bool write_value(dwx::ConfigWriter& writer) const override {
    for (size_t at = 0; at < text.size(); at += piece) {
      writer.write(text.data() + at, static_cast<uint32_t>(std::min(piece, text.size() - at)));
    }
    return true;
  }
  void read_value(const uint8_t*, uint32_t) override {}
  std::string text;
  size_t piece = 1;
};

TEST(ConfigBlob, ValuesOfAnySizeInAnyPiecesComeOutWhole) {
  dwx::ConfigList list;
  TextVar first(list, "first");
  TextVar second(list, "second");
  for (size_t size : {0, 1, 15, 16, 17, 40, 300}) {
    for (size_t piece : {1, 7, 16, 50}) {
      first.text = std::string(size, 'a');
      second.text = std::string(40 - size % 40, 'b');
      first.piece = second.piece = piece;
      CollectingWriter writer;
      list.write(writer);
      EXPECT_EQ(BlobBuilder()
                    .record_bytes("second", second.text)
                    .record_bytes("first", first.text)
                    .bytes(),
                writer.bytes)
          << size << " bytes in pieces of " << piece;
    }
  }
}

TEST(ConfigBlob, TheFirstVariableOfANameTakesTheRecord) {
  dwx::ConfigList list;
  dwx::ConfigInt older(list, "twin");
  dwx::ConfigInt newer(list, "twin");
  const std::vector<uint8_t> blob = BlobBuilder().record("twin", 5);
  list.read(blob.data(), static_cast<uint32_t>(blob.size()));
  EXPECT_EQ(5, newer.value()) << "the newest is nearest the head";
  EXPECT_EQ(0, older.value());
}

}  // namespace
