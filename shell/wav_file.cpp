// Reading WAV files from disk: their header at once, their sound a block at a time.
#include "shell/wav_file.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "shell/text.h"
#include "shell/wav_format.h"

namespace shell {

namespace {

// A second of CD sound, and a few disk reads a second at most.
constexpr DWORD block_bytes = 128 * 1024;

class FileHandle {
 public:
  explicit FileHandle(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~FileHandle() {
    if (open()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Reads `size` bytes at `offset`: 64-bit offsets, so files past 2 GiB
  // read in the 32-bit shell as well.
  bool read_at(uint64_t offset, uint8_t* out, size_t size) {
    return seek(offset) && read(out, size) == size;
  }
  bool seek(uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != FALSE;
  }
  // Reads on from where the last read ended; what was read.
  size_t read(uint8_t* out, size_t size) {
    DWORD got = 0;
    return ReadFile(handle_, out, static_cast<DWORD>(size), &got, nullptr) ? got : 0;
  }
  uint64_t size() const {
    LARGE_INTEGER length = {};
    return GetFileSizeEx(handle_, &length) ? static_cast<uint64_t>(length.QuadPart) : 0;
  }

 private:
  HANDLE handle_;
};

class WavReader : public SoundReader {
 public:
  WavReader(std::unique_ptr<FileHandle> file, const WavLayout& layout)
      : file_(std::move(file)), layout_(layout), left_(layout.frames) {}

  size_t read(double* out, size_t frames) override {
    size_t given = 0;
    while (given < frames) {
      if (at_ == block_.size() && !read_block()) break;
      const size_t here = std::min(frames - given, (block_.size() - at_) / layout_.frame_bytes());
      decode_frames(layout_, block_.data() + at_, here, out + given * layout_.channels);
      at_ += here * layout_.frame_bytes();
      given += here;
    }
    return given;
  }

 private:
  // The next whole frames from disk; false at the end of the sound, or when
  // the file ends sooner than its header said.
  bool read_block() {
    const uint64_t frames = std::min<uint64_t>(left_, block_bytes / layout_.frame_bytes());
    block_.resize(static_cast<size_t>(frames) * layout_.frame_bytes());
    const size_t got = block_.empty() ? 0 : file_->read(block_.data(), block_.size());
    block_.resize(got - got % layout_.frame_bytes());
    at_ = 0;
    left_ -= block_.size() / layout_.frame_bytes();
    return !block_.empty();
  }

  std::unique_ptr<FileHandle> file_;
  WavLayout layout_;
  uint64_t left_;  // frames not yet read from disk
  std::vector<uint8_t> block_;
  size_t at_ = 0;  // the next byte of block_
};

class WavSound : public Sound {
 public:
  WavSound(const std::wstring& path, const WavLayout& layout)
      : Sound(narrow(path.substr(path.find_last_of(L"\\/") + 1)), {layout.rate, layout.channels}),
        path_(path),
        layout_(layout) {}

  std::unique_ptr<SoundReader> open(std::string* error) const override {
    auto file = std::make_unique<FileHandle>(path_);
    if (!file->open() || !file->seek(layout_.data_offset)) {
      *error = "It cannot be opened any more.";
      return nullptr;
    }
    return std::make_unique<WavReader>(std::move(file), layout_);
  }

 private:
  std::wstring path_;
  WavLayout layout_;
};

}  // namespace

std::shared_ptr<const Sound> open_wav_file(const std::wstring& path, std::string* error) {
  FileHandle file(path);
  if (!file.open()) {
    *error = "It cannot be opened.";
    return nullptr;
  }
  WavLayout layout;
  const ReadAt read = [&file](uint64_t offset, uint8_t* out, size_t size) {
    return file.read_at(offset, out, size);
  };
  if (!parse_wav(read, file.size(), &layout, error)) return nullptr;
  return std::make_shared<const WavSound>(path, layout);
}

}  // namespace shell
