// The playback thread: two buffers, one playing while the other is filled.
#include "shell/playback.h"

#include <algorithm>
#include <cmath>

namespace shell {

namespace {

constexpr unsigned buffers_a_second = 10;  // 100 ms each: steady under Wine on a busy machine

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
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(sound->channels);
  format.nSamplesPerSec = sound->rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(sound->channels * 2);
  format.nAvgBytesPerSec = sound->rate * format.nBlockAlign;
  const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(buffer_done_), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device_ = nullptr;
    *error = error_text(result);
    return false;
  }
  sound_ = std::move(sound);
  position_ = 0;
  const size_t samples = (sound_->rate / buffers_a_second) * sound_->channels;
  for (Buffer& buffer : buffers_) {
    buffer.samples.assign(samples, 0);
    buffer.header = WAVEHDR{};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = static_cast<DWORD>(samples * sizeof(int16_t));
    waveOutPrepareHeader(device_, &buffer.header, sizeof buffer.header);
  }
  stopping_ = false;
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

bool Playback::fill(Buffer& buffer) {
  const Sound& sound = *sound_;
  // Once a buffer: the gain of the whole buffer.
  const double gain = gain_of(volume_hdb_.load());
  size_t filled = 0;
  while (filled < buffer.samples.size()) {
    if (position_ == sound.samples.size()) {
      if (!sound.loops) break;
      position_ = 0;
    }
    const size_t count = std::min(buffer.samples.size() - filled, sound.samples.size() - position_);
    for (size_t i = 0; i < count; ++i) {
      const double scaled = std::round(sound.samples[position_ + i] * gain);
      buffer.samples[filled + i] = static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
    }
    filled += count;
    position_ += count;
  }
  buffer.header.dwBufferLength = static_cast<DWORD>(filled * sizeof(int16_t));
  buffer.header.dwFlags &= ~WHDR_DONE;
  return filled > 0;
}

void Playback::run() {
  bool queued[2] = {};
  for (int i = 0; i < 2; ++i) {
    if (fill(buffers_[i]))
      queued[i] = waveOutWrite(device_, &buffers_[i].header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  while (!stopping_ && (queued[0] || queued[1])) {
    WaitForSingleObject(buffer_done_, INFINITE);
    for (int i = 0; i < 2 && !stopping_; ++i) {
      if (!queued[i] || !(buffers_[i].header.dwFlags & WHDR_DONE)) continue;
      queued[i] = fill(buffers_[i]) &&
                  waveOutWrite(device_, &buffers_[i].header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    }
  }
  if (!stopping_) PostMessageW(window_, ended_message_, 0, 0);
}

}  // namespace shell
