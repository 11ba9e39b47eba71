// The playback thread: a ring of short buffers, each filled again as soon as
// winmm has played it.
#include "shell/playback.h"

#include <algorithm>
#include <cmath>

namespace shell {

namespace {

// How long a buffer plays, and how many are queued: together, how long a
// volume change waits behind sound already given to winmm.
constexpr unsigned buffer_milliseconds = 10;
constexpr unsigned buffer_count = 3;

int64_t ticks_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

std::string error_text(MMRESULT result) {
  wchar_t text[MAXERRORLENGTH] = {};
  waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
  char utf8[3 * MAXERRORLENGTH] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8[0] ? utf8 : "error " + std::to_string(result);
}

}  // namespace

double gain_of(int hdb) { return std::pow(10.0, hdb / 2000.0); }

Playback::Playback(HWND window, UINT ended_message)
    : window_(window),
      ended_message_(ended_message),
      buffer_done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

Playback::~Playback() {
  stop();
  CloseHandle(buffer_done_);
}

bool Playback::play(std::shared_ptr<const Sound> sound, std::string* error) {
  stop();
  ++generation_;
  failure_.clear();
  // Every device takes 16-bit PCM; samples of more bits keep them until the
  // volume has been applied.
  const SoundFormat& from = sound->format();
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(from.channels);
  format.nSamplesPerSec = from.rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(from.channels * 2);
  format.nAvgBytesPerSec = from.rate * format.nBlockAlign;
  const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(buffer_done_), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device_ = nullptr;
    *error = error_text(result);
    return false;
  }
  sound_ = std::move(sound);
  const size_t frames = std::max(1u, from.rate * buffer_milliseconds / 1000);
  decoded_.assign(frames * from.channels, 0.0);
  buffers_.resize(buffer_count);
  for (Buffer& buffer : buffers_) {
    buffer.samples.assign(frames * from.channels, 0);
    buffer.header = WAVEHDR{};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = static_cast<DWORD>(buffer.samples.size() * sizeof(int16_t));
    waveOutPrepareHeader(device_, &buffer.header, sizeof buffer.header);
  }
  stopping_ = false;
  started_at_ = 0;
  ran_dry_ = 0;
  {
    std::lock_guard<std::mutex> guard(written_lock_);
    written_.assign(buffers_remembered, Written{});
    written_count_ = 0;
  }
  // The file is opened and read on the playback thread: the window goes on
  // at once, however large the file.
  thread_ = std::thread(&Playback::run, this);
  return true;
}

void Playback::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  SetEvent(buffer_done_);
  thread_.join();
  waveOutReset(device_);
  for (Buffer& buffer : buffers_) {
    waveOutUnprepareHeader(device_, &buffer.header, sizeof buffer.header);
  }
  waveOutClose(device_);
  device_ = nullptr;
}

bool Playback::fill(SoundReader& reader, Buffer& buffer) {
  const size_t channels = sound_->format().channels;
  const size_t frames = reader.read(decoded_.data(), decoded_.size() / channels);
  // Once a buffer: the gain of the whole buffer.
  buffer.hdb = volume_hdb_.load();
  buffer.filled = ticks_now();
  const double gain = gain_of(buffer.hdb);
  for (size_t i = 0; i < frames * channels; ++i) {
    const double scaled = std::round(decoded_[i] * gain);
    buffer.samples[i] = static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
  }
  buffer.header.dwBufferLength = static_cast<DWORD>(frames * channels * sizeof(int16_t));
  buffer.header.dwFlags &= ~WHDR_DONE;
  return frames > 0;
}

bool Playback::write(Buffer& buffer) {
  if (waveOutWrite(device_, &buffer.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
  std::lock_guard<std::mutex> guard(written_lock_);
  written_[written_count_++ % written_.size()] = {buffer.filled, ticks_now(), buffer.hdb};
  return true;
}

int64_t Playback::written_at(int hdb, int64_t since) const {
  std::lock_guard<std::mutex> guard(written_lock_);
  const size_t count = std::min(written_count_, written_.size());
  int64_t first = 0;
  for (size_t i = written_count_ - count; i < written_count_; ++i) {
    const Written& each = written_[i % written_.size()];
    if (each.hdb == hdb && each.filled >= since && (first == 0 || each.written < first)) {
      first = each.written;
    }
  }
  return first;
}

void Playback::run() {
  const std::unique_ptr<SoundReader> reader = sound_->open(&failure_);
  if (reader == nullptr) {
    PostMessageW(window_, ended_message_, generation_, 0);
    return;
  }
  // winmm plays the buffers in the order they were written: `next` is the
  // one written longest ago, the first to come back. All of them are queued
  // before the device starts: started on the first alone, Wine's output ran
  // dry before the next arrived.
  std::vector<bool> queued(buffers_.size(), false);
  waveOutPause(device_);
  for (size_t i = 0; i < buffers_.size(); ++i) {
    queued[i] = fill(*reader, buffers_[i]) && write(buffers_[i]);
  }
  const int64_t now = ticks_now();
  waveOutRestart(device_);
  started_at_ = now;
  size_t next = 0;
  while (!stopping_ && queued[next]) {
    WaitForSingleObject(buffer_done_, INFINITE);
    // Every buffer back at once: the device had nothing more of ours.
    if (std::all_of(buffers_.begin(), buffers_.end(),
                    [](const Buffer& buffer) { return buffer.header.dwFlags & WHDR_DONE; })) {
      ++ran_dry_;
    }
    while (!stopping_ && queued[next] && (buffers_[next].header.dwFlags & WHDR_DONE)) {
      queued[next] = fill(*reader, buffers_[next]) && write(buffers_[next]);
      next = (next + 1) % buffers_.size();
    }
  }
  if (!stopping_) PostMessageW(window_, ended_message_, generation_, 0);
}

}  // namespace shell
