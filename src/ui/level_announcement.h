// Telling assistive technology that a slider's level changed.
#pragma once

#include <windows.h>

#include "backend/volume_scale.h"

namespace dwx {

// Posted to a trackbar whose level changed while a lock of the component was
// held: its own thread then announces it, with nothing held.
constexpr UINT announce_level_message = WM_APP + 0x3A8;

// Tells assistive technology that the trackbar's level changed. Never with a
// lock of the component held: a hook may run right here and ask the
// trackbar's object for its level, which takes the backend lock.
void announce_level(HWND trackbar);

// The slider's own input sets the volume. Assistive technology hears of it
// when the level is new (the release that settles a drag where its last move
// left it tells nothing), unless the target's report of the change came back
// at once and moved the thumb, which was heard then. `own_procedure` is the
// trackbar's, as for ThumbWatch.
void set_volume_announced(HWND trackbar, WNDPROC own_procedure, VolumeLevel level);

// A level from elsewhere (the registry's) reaching a slider: made before its
// thumb moves, told after. When the thumb moved, assistive technology hears
// of it; the slider whose own input made the change has its thumb there
// already, and was heard. The position is asked of the trackbar's own
// procedure, behind its subclass (null: there is none): a message sent would
// be one more the component sends. Nothing is read while nobody listens.
class ThumbWatch {
 public:
  ThumbWatch(HWND trackbar, WNDPROC own_procedure);
  // Under the registry lock (`locked`) only once the lock is free.
  void announce_if_moved(bool locked) const;
  // Whether someone listens and the thumb moved since.
  bool moved() const { return trackbar_ != nullptr && position() != before_; }

 private:
  LRESULT position() const;

  HWND trackbar_;  // null while nobody listens
  WNDPROC own_procedure_;
  LRESULT before_ = 0;
};

}  // namespace dwx
