// The windows the component made whose code is its own, known from their making to their end.
#pragma once

#include <windows.h>

#include <cstdint>

#include "frame/lock.h"
#include "text/byte_block.h"

namespace dwx {

// How unload lets go of a window that has an owner: the owner's own way,
// which also lets go of what it holds (a slider's trackbar and tooltip).
using LetGoOfOwned = void (*)(void* owner);

// Every slider host window and preferences page the component made and the
// system has not destroyed yet, added the moment it is made. At unload,
// whatever is still here goes (see let_go_of_window), on any thread: a host
// need not release its objects or close its pages first. What these windows
// hold is reached through their owners, and the mixer's callback window
// through the mixer connection.
class OwnWindows {
 public:
  OwnWindows() = default;
  ~OwnWindows();
  OwnWindows(const OwnWindows&) = delete;
  OwnWindows& operator=(const OwnWindows&) = delete;

  // False when the heap has no room: a window unload would not know of must
  // not be kept. Without an owner, unload lets go of the window itself.
  bool add(HWND window, void* owner = nullptr, LetGoOfOwned let_go = nullptr);
  // At the window's end, or when its owner lets go of it.
  void remove(HWND window);

 private:
  struct Entry {
    HWND window;
    void* owner;
    LetGoOfOwned let_go;
  };

  // The lock is held only while the list changes, never while a window goes.
  RecursiveLock lock_;
  ByteBlock entries_{GrowthMode::power_of_two};
};

extern OwnWindows own_windows;

}  // namespace dwx
