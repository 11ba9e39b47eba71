// Reading and writing the shell's configuration file.
#include "shell/config_file.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "shell/text.h"
#include "standin_host/crc32.h"

namespace shell {

namespace {

constexpr char magic_first[8] = {'P', 'L', 'V', 'X', 'C', 'F', 'G', '1'};
constexpr char magic[8] = {'P', 'L', 'V', 'X', 'C', 'F', 'G', '2'};
constexpr size_t header_size = sizeof magic + 8;

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t get_u32(const uint8_t* in) {
  return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

void put_rect(std::vector<int32_t>& out, const RECT& rect) {
  out.insert(out.end(), {rect.left, rect.top, rect.right, rect.bottom});
}

RECT get_rect(const int32_t* in) { return RECT{in[0], in[1], in[2], in[3]}; }

// The shell's values in their order; a file with fewer keeps the defaults
// for the rest, and values a later shell added are skipped.
std::vector<int32_t> settings_values(const ShellSettings& shell) {
  if (!shell.saved) return {};
  std::vector<int32_t> values = {shell.volume_hdb, static_cast<int32_t>(shell.show)};
  put_rect(values, shell.window);
  for (const SliderSettings& slider : shell.sliders) {
    values.push_back(static_cast<int32_t>(slider.placement));
    put_rect(values, slider.frame);
  }
  return values;
}

ShellSettings settings_from(const std::vector<int32_t>& values) {
  ShellSettings shell;
  if (values.size() < 6 + 5 * kinds) return shell;
  shell.saved = true;
  shell.volume_hdb = values[0];
  shell.show = static_cast<UINT>(values[1]);
  shell.window = get_rect(&values[2]);
  for (int i = 0; i < kinds; ++i) {
    const int32_t* slider = &values[6 + 5 * i];
    if (slider[0] >= 0 && slider[0] <= static_cast<int32_t>(Placement::hidden)) {
      shell.sliders[i].placement = static_cast<Placement>(slider[0]);
    }
    shell.sliders[i].frame = get_rect(slider + 1);
  }
  return shell;
}

// Hands the component the blob, as far as `payload` holds it, and takes the
// shell's values from a sound file. False when the parts do not add up to the
// payload's length. Sizes are added in 64 bits: a count from the file times
// four overflows a 32-bit size_t.
bool read_payload(const std::vector<uint8_t>& payload, bool sound, LoadedConfig* loaded) {
  if (payload.size() < 4) return false;
  const uint64_t size = payload.size();
  const uint64_t length = get_u32(payload.data());
  const size_t available = static_cast<size_t>(std::min(length, size - 4));
  loaded->blob.assign(payload.begin() + 4, payload.begin() + 4 + available);
  if (size < 8 + length) return false;
  const uint64_t count = get_u32(&payload[static_cast<size_t>(4 + length)]);
  if (size != 8 + length + 4 * count) return false;
  if (!sound) return true;
  // No more values than the payload holds bytes.
  std::vector<int32_t> values(static_cast<size_t>(count));
  const uint8_t* value = &payload[static_cast<size_t>(8 + length)];
  for (int32_t& each : values) {
    each = static_cast<int32_t>(get_u32(value));
    value += 4;
  }
  loaded->shell = settings_from(values);
  return true;
}

std::string system_text(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = text ? narrow(text) : "error " + std::to_string(error);
  LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result;
}

LoadedConfig unreadable(DWORD error) {
  LoadedConfig loaded;
  loaded.state = LoadedConfig::State::unreadable;
  loaded.problem = "the configuration file could not be read (" + system_text(error) +
                   "); starting from the defaults, and the file is left as it is";
  return loaded;
}

}  // namespace

std::vector<uint8_t> encode_config(const std::vector<uint8_t>& blob, const ShellSettings& shell) {
  std::vector<uint8_t> payload;
  put_u32(payload, static_cast<uint32_t>(blob.size()));
  payload.insert(payload.end(), blob.begin(), blob.end());
  const std::vector<int32_t> values = settings_values(shell);
  put_u32(payload, static_cast<uint32_t>(values.size()));
  for (int32_t value : values)
    put_u32(payload, static_cast<uint32_t>(value));

  std::vector<uint8_t> file(magic, magic + sizeof magic);
  put_u32(file, static_cast<uint32_t>(payload.size()));
  put_u32(file, standin::crc32(payload.data(), payload.size()));
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}

LoadedConfig decode_config(const std::vector<uint8_t>& file) {
  LoadedConfig loaded;
  loaded.state = LoadedConfig::State::damaged;
  const bool first_form =
      file.size() >= header_size && memcmp(file.data(), magic_first, sizeof magic) == 0;
  if (file.size() < header_size || (!first_form && memcmp(file.data(), magic, sizeof magic) != 0)) {
    // Not ours, or cut before the payload began: there is nothing to trust in it.
    loaded.problem = "the configuration file is not one this shell wrote (" +
                     std::to_string(file.size()) + " bytes); starting from the defaults";
    return loaded;
  }
  const size_t length = get_u32(&file[sizeof magic]);
  const uint32_t checksum = get_u32(&file[sizeof magic + 4]);
  const size_t held = file.size() - header_size;
  std::vector<uint8_t> payload(file.begin() + header_size,
                               file.begin() + header_size + std::min(held, length));
  if (held < length) {
    loaded.problem = "the configuration file is damaged: it holds " + std::to_string(held) +
                     " of " + std::to_string(length) + " bytes; the component reads what it can";
  } else if (held > length) {
    loaded.problem = "the configuration file is damaged: " + std::to_string(held - length) +
                     " bytes follow its end; the component reads what it can";
  } else if (standin::crc32(payload.data(), payload.size()) != checksum) {
    loaded.problem =
        "the configuration file is damaged: its checksum does not match; the component reads "
        "what it can";
  } else {
    loaded.state = LoadedConfig::State::sound;
  }
  const bool sound = loaded.state == LoadedConfig::State::sound;
  if (first_form) {
    loaded.blob = payload;
  } else if (!read_payload(payload, sound, &loaded) && sound) {
    loaded.state = LoadedConfig::State::damaged;
    loaded.problem =
        "the configuration file is damaged: its parts do not add up to its length; the "
        "component reads what it can";
  }
  return loaded;
}

LoadedConfig load_config(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // No file, or not even its folder yet: a first start, with the defaults.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return LoadedConfig{};
    return unreadable(error);
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  DWORD read = 0;
  DWORD error = ERROR_SUCCESS;
  for (;;) {
    if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr)) {
      error = GetLastError();
      break;
    }
    if (read == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  CloseHandle(file);
  if (error != ERROR_SUCCESS) return unreadable(error);
  return decode_config(bytes);
}

bool save_config(const std::wstring& path, const std::vector<uint8_t>& blob,
                 const ShellSettings& shell) {
  const std::vector<uint8_t> bytes = encode_config(blob, shell);
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
