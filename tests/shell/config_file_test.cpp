// The shell's configuration file: what survives damage, and what is said about it.
#include <windows.h>

#include <gtest/gtest.h>

#include "shell/config_file.h"
#include "support/blob.h"

namespace {

const std::vector<uint8_t> blob =
    testing_support::BlobBuilder().record("mixer_mute_level", 640).record("mixer_id", 1);

TEST(ConfigFile, ASoundFileGivesBackItsBlobAndNoComplaint) {
  const shell::LoadedConfig loaded = shell::decode_config(shell::encode_config(blob));
  EXPECT_EQ(blob, loaded.blob);
  EXPECT_EQ("", loaded.problem);
}

TEST(ConfigFile, ATruncatedFileHandsOverWhatIsLeftAndSaysSo) {
  std::vector<uint8_t> file = shell::encode_config(blob);
  file.resize(file.size() - 3);
  const shell::LoadedConfig loaded = shell::decode_config(file);
  EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.end() - 3), loaded.blob);
  EXPECT_NE(std::string::npos, loaded.problem.find("damaged")) << loaded.problem;
  EXPECT_NE(std::string::npos, loaded.problem.find(std::to_string(blob.size() - 3) + " of " +
                                                   std::to_string(blob.size())));
}

TEST(ConfigFile, AFlippedByteIsCaughtByTheChecksum) {
  std::vector<uint8_t> file = shell::encode_config(blob);
  file[30] ^= 0x40;
  const shell::LoadedConfig loaded = shell::decode_config(file);
  EXPECT_EQ(blob.size(), loaded.blob.size()) << "still handed over, to be read as far as it goes";
  EXPECT_NE(std::string::npos, loaded.problem.find("checksum"));
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
