// The windows that show the volume level, and the broadcast that moves them all.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "backend/volume_scale.h"
#include "frame/lock.h"
#include "text/byte_block.h"

namespace dwx {

// A broadcast on a window's own thread sends it TBM_SETPOS(redraw, level)
// synchronously, so every slider moves within the same drag step. A window of
// another thread is never waited for: the host may report its volume on a
// thread of its own while the windows' thread waits for the host, and
// neither would ever go on. It gets slider_update_message instead, with
// SendNotifyMessage, and hands it to take_update(), which moves it to the
// newest level; an update that a later broadcast overtook does nothing, so a
// burst ends on its last level. The registry lock may be taken while the
// backend lock is held, never the other way round, and nothing waits for
// another thread while holding it.
class SliderRegistry {
 public:
  SliderRegistry() = default;
  SliderRegistry(const SliderRegistry&) = delete;
  SliderRegistry& operator=(const SliderRegistry&) = delete;

  void add(HWND window);
  // Removes every entry of the window, keeping the order of the rest.
  void remove(HWND window);
  void broadcast(VolumeLevel level);
  // Broadcasts so far, counting on past 2^32. Taken before a level is read,
  // it lets the level's broadcast tell whether another came in between.
  uint32_t updates() const { return last_update_.load(); }
  // Broadcasts `level` unless another broadcast came since updates() said
  // `seen`: a host report made while the level was being read, whose level
  // is the newer one and must not be undone.
  void broadcast_unless_overtaken(VolumeLevel level, uint32_t seen);
  // Under the registry lock: whether a broadcast came since updates() said
  // `seen`, and if so the level of the newest one.
  bool broadcast_since(uint32_t seen, VolumeLevel* level) const;
  // A registered window's handling of slider_update_message.
  void take_update(HWND window, WPARAM update);
  // Whether this thread is inside broadcast(), handing its level to a window
  // of its own: the TBM_SETPOS a slider is handling then is a new level from
  // elsewhere, not a move of its own, and the registry lock is held.
  bool delivering_here() const { return delivering_.load() == GetCurrentThreadId(); }
  // The level of the newest broadcast.
  VolumeLevel delivered_level() const { return last_level_.load(); }

  // Held by a slider while it registers and subclasses its trackbar, so that
  // no broadcast reaches the trackbar half set up.
  RecursiveLock& lock() { return lock_; }

 private:
  // A window never changes thread, so its thread is taken once, when it is
  // added, rather than asked of the system at every broadcast.
  struct Entry {
    HWND window;
    DWORD thread;
  };
  uint32_t count() const { return entries_.size() / sizeof(Entry); }
  Entry* entries() { return reinterpret_cast<Entry*>(entries_.data()); }
  // TBM_SETPOS now on this thread's windows, a notification to another's.
  static void send_update(Entry entry, DWORD this_thread, VolumeLevel level, uint32_t update);

  // Unload frees the array before the lock goes.
  RecursiveLock lock_;
  ByteBlock entries_{GrowthMode::power_of_two};
  // Where a window goes when the heap will not grow the list, so that a
  // passing shortage does not leave a slider deaf for the rest of its life.
  // Broadcasts reach these after the list; a free one has no window.
  static constexpr uint32_t spare_count = 4;
  Entry spares_[spare_count] = {};
  // Written under the lock; read by take_update on the windows' thread.
  std::atomic<uint32_t> last_update_{0};
  std::atomic<VolumeLevel> last_level_{0};
  // The thread inside broadcast(); written under the lock, so only a thread
  // that holds it ever finds its own id here.
  std::atomic<DWORD> delivering_{0};
};

// In the application's own range: the trackbar under a slider never sees it,
// since the component's procedure in front of it answers.
constexpr UINT slider_update_message = WM_APP + 0x3A7;

extern SliderRegistry slider_registry;

}  // namespace dwx
