// The link to one Windows system mixer control, or to the host's own volume when none is open.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

#include "backend/control_range.h"
#include "backend/volume_scale.h"
#include "frame/window_class.h"

namespace dwx {

// The callback window's class; made with the other globals, in the order
// that tears them down (module.cpp).
extern WindowClassRef mixer_window_class;

// Device 0 is the host's own volume; device n >= 1 is winmm mixer n-1.
// Control 0 is the volume of the device's speaker line; control n >= 1 that
// of source line n-1 of destination 0. Everything but the notification
// handler runs under the backend lock. A hidden callback window, owned by the
// host's main window, receives the mixer's change notifications on the
// thread that opened the mixer. When the main window's end takes it along,
// it is forgotten, and the next open makes a new one.
class MixerConnection {
 public:
  MixerConnection() = default;
  // Unload: closes the mixer and destroys the callback window, unless the
  // process is ending and takes both along.
  ~MixerConnection();
  MixerConnection(const MixerConnection&) = delete;
  MixerConnection& operator=(const MixerConnection&) = delete;

  // True when the target is ready (always for device 0). On failure no mixer
  // is open and the failure has been reported.
  bool open(uint32_t device, uint32_t control);
  // False when the mixer cannot be read, which has been reported: the level
  // is then unknown, not silence. The host's own volume always reads.
  bool read_level(VolumeLevel* level);
  void write_level(VolumeLevel level);
  // Whether reads and writes go to the host's own volume.
  bool reads_host_volume() const { return mixer_ == nullptr; }

  // The callback window's messages.
  LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static WindowClassRef& window_class() { return mixer_window_class; }
  bool create_callback_window();
  void destroy_callback_window();
  void forget_callback_window();
  bool open_mixer(uint32_t device, uint32_t control);

  HWND callback_window_ = nullptr;
  HMIXER mixer_ = nullptr;
  ControlRange bounds_;  // of the open control
  uint32_t control_id_ = 0;
};

}  // namespace dwx
