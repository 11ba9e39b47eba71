// The stand-in host: what a player gives the component and records of what the component does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "standin_host/host_objects.h"

namespace standin {

// A re-entrant lock whose destructor gives back all it took. The threads
// library under this toolchain's std::recursive_mutex allocates on the first
// lock (and makes an event on the first wait) and never frees either, so a
// host made per test, or per cycle of a soak, would leak both every time.
class HostLock {
 public:
  HostLock() { InitializeCriticalSection(&section_); }
  ~HostLock() { DeleteCriticalSection(&section_); }
  HostLock(const HostLock&) = delete;
  HostLock& operator=(const HostLock&) = delete;

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

struct ConsoleLine {
  int level;
  std::string text;
  std::string source;
};

// One per test or per shell run. Creates the host's main window (hidden), offers the
// console and playback-control services through its HostApi, and keeps the
// host's own volume in hundredths of a decibel. Whatever the component calls
// is recorded; the component may call from any thread.
class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HostApiObject* api() { return &api_; }
  HWND main_window() const { return main_window_; }
  // A player whose main window is a real one: the component is handed
  // `window` from now on, and the host's own hidden window goes.
  void use_main_window(HWND window);

  // Services the host offers; switched off, find_service answers null.
  bool console_available = true;
  bool playback_available = true;

  // The host's own volume, and the host changing it (its own slider, a
  // hotkey): play callbacks that asked for volume changes hear of it.
  int volume() const;
  void change_volume(int hdb);
  // A play-callback service of the component, called on every volume change
  // while its flags ask for it. The host holds the reference it was given.
  void add_play_callback(void* service);
  void remove_play_callbacks();
  // Reports volume changes to the play callbacks while holding the host's own
  // lock, which the component's volume calls take too: a player whose
  // playback thread reports under a lock of its own. Off, the callbacks run
  // without it, as most players call them.
  bool callbacks_under_lock = false;
  // When false, nothing is recorded or counted, and the volume service only
  // stores the value and calls the play callbacks: benchmarks measure the
  // component, not this.
  bool record = true;
  // Told of every console line and every change of the host's volume, on the
  // thread that made it, and of every read of the host's volume by the
  // component, on the reading thread, after the value is taken and before
  // the component has it. Set them while no other thread calls the host.
  std::function<void(const ConsoleLine&)> console_listener;
  std::function<void(int hdb)> volume_listener;
  std::function<void()> read_listener;

  // What the component did.
  std::vector<ConsoleLine> console_lines() const;
  std::vector<int> volume_sets() const;  // every set_volume the component made
  int volume_reads() const;              // every get_volume the component made
  std::vector<GUID> lookups() const;     // the class of every find_service, in order
  int console_references() const;        // handed out, not yet given back
  void clear_records();

  // Called by the host's objects.
  void* find_service(const GUID* class_guid, unsigned index);
  void console_output(int level, const char* text, const char* source);
  void set_volume_from_component(int hdb);
  int volume_for_component();
  int add_service_reference(const HostServiceObject* object);
  int release_service_reference(const HostServiceObject* object);

 private:
  void set_volume(int hdb);

  mutable HostLock mutex_;
  HostApiObject api_;
  HostServiceObject console_;
  HostServiceObject playback_;
  HWND main_window_ = nullptr;
  bool owns_main_window_ = true;
  int volume_hdb_ = 0;
  // Replaced whole when one is added, so that reporting a change can take the
  // list without copying it (and without allocating, which benchmarks and
  // allocation tests would see).
  std::shared_ptr<const std::vector<void*>> play_callbacks_ =
      std::make_shared<const std::vector<void*>>();
  std::vector<ConsoleLine> console_lines_;
  std::vector<int> volume_sets_;
  int volume_reads_ = 0;
  std::vector<GUID> lookups_;
  int console_references_ = 0;
  int playback_references_ = 0;
};

}  // namespace standin
