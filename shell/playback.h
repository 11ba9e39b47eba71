// Plays a sound through waveOut on a thread of its own, at the player's own volume.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "shell/sound.h"

namespace shell {

// The amplitude factor of a volume in hundredths of a decibel.
double gain_of(int hdb);

class Playback {
 public:
  // `window` is posted `ended_message` when a sound that does not loop has
  // played to its end, or could not be read; its wParam is the generation()
  // of that playing, and the window calls stop() when it is still current.
  Playback(HWND window, UINT ended_message);
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Stops what plays and starts `sound` from its beginning; the sound is
  // read on the playback thread. False with winmm's words for it when no
  // sound device takes it.
  bool play(std::shared_ptr<const Sound> sound, std::string* error);
  // Waits until the sound is silent and the device closed.
  void stop();
  bool playing() const { return thread_.joinable(); }
  // What plays, or null.
  const Sound* sound() const { return playing() ? sound_.get() : nullptr; }
  // Which playing this is: one more at each play().
  WPARAM generation() const { return generation_; }
  UINT ended_message() const { return ended_message_; }
  // When the first buffers of the current playing went to the device
  // (QueryPerformanceCounter's ticks), or 0 until they have.
  int64_t started_at() const { return started_at_; }
  // How often the device had taken every buffer of the current playing
  // before this thread gave it the next: each time, it may have gone silent.
  unsigned ran_dry() const { return ran_dry_; }
  // Why the last playing ended before the sound did, once stop() returned;
  // empty when it did not.
  const std::string& failure() const { return failure_; }

  // Any thread may set it; it is heard from the next buffer on, a few
  // milliseconds of sound, so a step never falls inside a buffer.
  void set_volume(int hdb) { volume_hdb_.store(hdb); }
  int volume() const { return volume_hdb_.load(); }
  // When the first buffer at volume `hdb` that was filled at `since` or
  // later went to the device (QueryPerformanceCounter's ticks), among the
  // last buffers_remembered of the current playing; 0 when none did. It
  // splits a change's way to the ear in two: the shell's, up to here, and
  // the output path's, after.
  int64_t written_at(int hdb, int64_t since) const;
  static constexpr size_t buffers_remembered = 256;

 private:
  struct Buffer {
    WAVEHDR header;
    std::vector<int16_t> samples;
    int hdb = 0;         // the volume it was filled at
    int64_t filled = 0;  // when, in ticks
  };
  // A buffer that went to the device: when it was filled, when written, at
  // which volume.
  struct Written {
    int64_t filled, written;
    int hdb;
  };

  void run();
  // Fills `buffer` with what comes next, at the volume of the moment; false
  // when nothing is left.
  bool fill(SoundReader& reader, Buffer& buffer);
  // Gives the buffer to the device and remembers when; false when refused.
  bool write(Buffer& buffer);

  HWND window_;
  UINT ended_message_;
  HANDLE buffer_done_;  // set by winmm as each buffer is played, and by stop()
  HWAVEOUT device_ = nullptr;
  std::shared_ptr<const Sound> sound_;
  WPARAM generation_ = 0;
  std::string failure_;
  std::vector<Buffer> buffers_;
  std::vector<double> decoded_;  // one buffer's frames before the volume
  std::atomic<int> volume_hdb_{0};
  std::atomic<bool> stopping_{false};
  std::atomic<int64_t> started_at_{0};
  std::atomic<unsigned> ran_dry_{0};
  mutable std::mutex written_lock_;
  std::vector<Written> written_;  // a ring of buffers_remembered
  size_t written_count_ = 0;
  std::thread thread_;
};

}  // namespace shell
