// Level changes told to assistive technology: at once, or once a lock is free.
#include "ui/level_announcement.h"

#include <commctrl.h>

#include "backend/volume_backend.h"
#include "host/utf8api.h"

namespace dwx {

namespace {

// Whether any assistive technology may hear a level change. When none does,
// an announcement costs nothing, not even the reads that decide on it.
bool level_heard() { return IsWinEventHookInstalled(EVENT_OBJECT_VALUECHANGE) != FALSE; }

}  // namespace

void announce_level(HWND trackbar) {
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, trackbar, OBJID_CLIENT, CHILDID_SELF);
}

void set_volume_announced(HWND trackbar, WNDPROC own_procedure, VolumeLevel level) {
  if (!level_heard()) {
    volume_backend.set_volume(level);
    return;
  }
  VolumeLevel before = level;
  if (!volume_backend.get_volume(&before)) before = level;
  // The host may report the new volume back before set_volume returns: its
  // broadcast, a level the scale rounds to, can move this thumb by one.
  const ThumbWatch watch(trackbar, own_procedure);
  volume_backend.set_volume(level);
  if (before != level && !watch.moved()) announce_level(trackbar);
}

ThumbWatch::ThumbWatch(HWND trackbar, WNDPROC own_procedure)
    : trackbar_(trackbar != nullptr && level_heard() ? trackbar : nullptr),
      own_procedure_(own_procedure) {
  if (trackbar_ != nullptr) before_ = position();
}

void ThumbWatch::announce_if_moved(bool locked) const {
  if (!moved()) return;
  if (locked) {
    PostMessageW(trackbar_, announce_level_message, 0, 0);
  } else {
    announce_level(trackbar_);
  }
}

LRESULT ThumbWatch::position() const {
  if (own_procedure_ == nullptr) return uSendMessage(trackbar_, TBM_GETPOS, 0, 0);
  return uCallWindowProc(own_procedure_, trackbar_, TBM_GETPOS, 0, 0);
}

}  // namespace dwx
