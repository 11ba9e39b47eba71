// The windows that show the volume level, and the broadcast that moves them all.
#pragma once

#include <windows.h>

#include "backend/volume_scale.h"
#include "frame/lock.h"
#include "text/pointer_list.h"

namespace dwx {

// Each registered window receives TBM_SETPOS(redraw, level), sent
// synchronously: a broadcast from another thread waits for the windows'
// thread to take each one. That thread, when it needs the registry itself
// meanwhile, takes in those messages while it waits for the lock. The
// registry lock may be taken while the backend lock is held, never the other
// way round.
class SliderRegistry {
 public:
  SliderRegistry() = default;
  // Unload: the array is freed, then the lock goes.
  ~SliderRegistry();
  SliderRegistry(const SliderRegistry&) = delete;
  SliderRegistry& operator=(const SliderRegistry&) = delete;

  void add(HWND window);
  // Removes every entry of the window, keeping the order of the rest.
  void remove(HWND window);
  void broadcast(VolumeLevel level);

  // Held by a slider while it registers and subclasses its trackbar, so that
  // no broadcast reaches the trackbar half set up.
  RecursiveLock& lock() { return lock_; }

 private:
  RecursiveLock lock_{RecursiveLock::Wait::taking_sent_messages};
  PointerList windows_ = empty_pointer_list();
};

extern SliderRegistry slider_registry;

}  // namespace dwx
