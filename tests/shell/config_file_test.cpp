// The shell's configuration file: what survives damage, and what is said about it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/config_file.h"
#include "standin_host/crc32.h"
#include "support/blob.h"

namespace {

const std::vector<uint8_t> blob =
    testing_support::BlobBuilder().record("mixer_mute_level", 640).record("mixer_id", 1);

TEST(ConfigFile, ASoundFileGivesBackItsBlobAndNoComplaint) {
  const shell::LoadedConfig loaded = shell::decode_config(shell::encode_config(blob));
  EXPECT_EQ(blob, loaded.blob);
  EXPECT_EQ("", loaded.problem);
}

// The payload is the blob's length, the blob, then the shell's count and values.
constexpr size_t header = 16, blob_start = header + 4;

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A file whose frame is sound (length and checksum match) around a payload of
// the blob, `count`, and `values` bytes after it.
std::vector<uint8_t> framed(uint32_t count, size_t values) {
  std::vector<uint8_t> payload;
  put_u32(payload, static_cast<uint32_t>(blob.size()));
  payload.insert(payload.end(), blob.begin(), blob.end());
  put_u32(payload, count);
  payload.resize(payload.size() + values, 0);
  std::vector<uint8_t> file = {'P', 'L', 'V', 'X', 'C', 'F', 'G', '2'};
  put_u32(file, static_cast<uint32_t>(payload.size()));
  put_u32(file, standin::crc32(payload.data(), payload.size()));
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}

TEST(ConfigFile, ADamagedFileHandsOverWhatIsLeftOfTheBlobAndSaysWhatIsWrong) {
  shell::ShellSettings settings;
  settings.saved = true;
  settings.volume_hdb = -700;
  const std::vector<uint8_t> sound = shell::encode_config(blob, settings);
  std::vector<uint8_t> cut_in_blob(sound.begin(), sound.begin() + blob_start + blob.size() - 3);
  std::vector<uint8_t> flipped = sound, longer = sound;
  flipped[sound.size() - 2] ^= 0x40;  // in the shell's values
  longer.insert(longer.end(), {1, 2});
  const struct {
    const char* damage;
    std::vector<uint8_t> file;
    size_t blob_kept;
    const char* said;
  } cases[] = {
      {"cut inside the blob", cut_in_blob, blob.size() - 3, " of "},  // "holds N of M bytes"
      {"a flipped byte", flipped, blob.size(), "checksum"},
      {"bytes after the end", longer, blob.size(), "2 bytes follow its end"},
      // 4 * count wraps to 8 in 32 bits: four gigabytes of values were asked for.
      {"a count of 0x40000002 with 8 bytes of values", framed(0x40000002, 8), blob.size(),
       "do not add up"},
      {"a count of 0x40000000 with none", framed(0x40000000, 0), blob.size(), "do not add up"},
      {"a value more than the count", framed(0, 4), blob.size(), "do not add up"},
  };
  for (const auto& c : cases) {
    const shell::LoadedConfig loaded = shell::decode_config(c.file);
    EXPECT_EQ(shell::LoadedConfig::State::damaged, loaded.state) << c.damage;
    ASSERT_EQ(c.blob_kept, loaded.blob.size()) << c.damage << ": handed over as far as it goes";
    EXPECT_TRUE(std::equal(loaded.blob.begin(), loaded.blob.end(), blob.begin())) << c.damage;
    EXPECT_NE(std::string::npos, loaded.problem.find("damaged")) << c.damage;
    EXPECT_NE(std::string::npos, loaded.problem.find(c.said)) << c.damage << ": " << loaded.problem;
    EXPECT_FALSE(loaded.shell.saved) << c.damage << ": the shell's values are not trusted";
  }
}

TEST(ConfigFile, TheShellsSettingsComeBackAndAFileOfTheFirstFormIsStillRead) {
  shell::ShellSettings settings;
  settings.saved = true;
  settings.volume_hdb = -1234;
  settings.show = SW_SHOWMAXIMIZED;
  settings.window = RECT{1, 2, 300, 400};
  settings.sliders[1] = {shell::Placement::floating, RECT{-5, -6, 70, 80}};
  const shell::LoadedConfig loaded = shell::decode_config(shell::encode_config(blob, settings));
  EXPECT_EQ(blob, loaded.blob);
  EXPECT_EQ(-1234, loaded.shell.volume_hdb);
  EXPECT_EQ(static_cast<UINT>(SW_SHOWMAXIMIZED), loaded.shell.show);
  EXPECT_EQ(300, loaded.shell.window.right);
  EXPECT_EQ(shell::Placement::docked, loaded.shell.sliders[0].placement);
  EXPECT_EQ(shell::Placement::floating, loaded.shell.sliders[1].placement);
  EXPECT_EQ(-6, loaded.shell.sliders[1].frame.top);

  // "PLVXCFG1", the blob's length and CRC-32, the blob: what the first shells wrote.
  std::vector<uint8_t> first = {'P', 'L', 'V', 'X', 'C', 'F', 'G', '1'};
  const uint32_t length = static_cast<uint32_t>(blob.size());
  for (int i = 0; i < 4; ++i)
    first.push_back(static_cast<uint8_t>(length >> (8 * i)));
  const uint32_t crc = standin::crc32(blob.data(), blob.size());
  for (int i = 0; i < 4; ++i)
    first.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  first.insert(first.end(), blob.begin(), blob.end());
  const shell::LoadedConfig old = shell::decode_config(first);
  EXPECT_EQ(shell::LoadedConfig::State::sound, old.state) << old.problem;
  EXPECT_EQ(blob, old.blob);
  EXPECT_FALSE(old.shell.saved);
}

TEST(ConfigFile, ForeignOrEmptyFilesStartFromTheDefaults) {
  for (const std::vector<uint8_t>& file :
       {std::vector<uint8_t>{}, std::vector<uint8_t>{'P', 'L', 'V'},
        std::vector<uint8_t>(blob.begin(), blob.end())}) {
    const shell::LoadedConfig loaded = shell::decode_config(file);
    EXPECT_TRUE(loaded.blob.empty());
    EXPECT_NE(std::string::npos, loaded.problem.find("not one this shell wrote"));
  }
}

TEST(ConfigFile, SavedFilesReplaceTheOldOneWhole) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"config_file_test.cfg";
  ASSERT_TRUE(shell::save_config(path, {1, 2, 3, 4, 5, 6, 7, 8}));
  ASSERT_TRUE(shell::save_config(path, blob));
  const shell::LoadedConfig loaded = shell::load_config(path);
  EXPECT_EQ(blob, loaded.blob);
  EXPECT_EQ("", loaded.problem);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((path + L".new").c_str()));
  DeleteFileW(path.c_str());

  const shell::LoadedConfig missing = shell::load_config(path);
  EXPECT_TRUE(missing.blob.empty());
  EXPECT_EQ("", missing.problem) << "no file yet is a first start, not damage";
}

}  // namespace
