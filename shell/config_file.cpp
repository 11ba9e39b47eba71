// Reading and writing the shell's configuration file.
#include "shell/config_file.h"

#include <windows.h>

#include <cstring>

#include "standin_host/crc32.h"

namespace shell {

namespace {

constexpr char magic[8] = {'P', 'L', 'V', 'X', 'C', 'F', 'G', '1'};
constexpr size_t header_size = sizeof magic + 8;

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t get_u32(const uint8_t* in) {
  return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

}  // namespace

std::vector<uint8_t> encode_config(const std::vector<uint8_t>& blob) {
  std::vector<uint8_t> file(magic, magic + sizeof magic);
  put_u32(file, static_cast<uint32_t>(blob.size()));
  put_u32(file, standin::crc32(blob.data(), blob.size()));
  file.insert(file.end(), blob.begin(), blob.end());
  return file;
}

LoadedConfig decode_config(const std::vector<uint8_t>& file) {
  LoadedConfig loaded;
  if (file.size() < header_size || memcmp(file.data(), magic, sizeof magic) != 0) {
    // Not ours, or cut before the blob began: there is nothing to trust in it.
    loaded.problem = "the configuration file is not one this shell wrote (" +
                     std::to_string(file.size()) + " bytes); starting from the defaults";
    return loaded;
  }
  const uint32_t length = get_u32(&file[sizeof magic]);
  const uint32_t checksum = get_u32(&file[sizeof magic + 4]);
  loaded.blob.assign(file.begin() + header_size, file.end());
  if (loaded.blob.size() != length) {
    loaded.problem = "the configuration file is damaged: it holds " +
                     std::to_string(loaded.blob.size()) + " of " + std::to_string(length) +
                     " bytes; the component reads what it can";
  } else if (standin::crc32(loaded.blob.data(), loaded.blob.size()) != checksum) {
    loaded.problem =
        "the configuration file is damaged: its checksum does not match; the component reads "
        "what it can";
  }
  return loaded;
}

LoadedConfig load_config(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LoadedConfig{};  // first start: the defaults
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  CloseHandle(file);
  return decode_config(bytes);
}

bool save_config(const std::wstring& path, const std::vector<uint8_t>& blob) {
  const std::vector<uint8_t> bytes = encode_config(blob);
  const std::wstring temporary = path + L".new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!complete) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace shell
