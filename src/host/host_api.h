// The host's objects as the component calls them: the service-access object,
// the console, playback control and the layout's extension host; the string
// object and the configuration writer, which the pure pieces also use, have
// headers of their own without Windows. Slot numbers are the host's;
// placeholders stand in for the slots the component never calls. No
// interface declares a virtual destructor: the host's compiler lays those
// out differently.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/config_writer.h"
#include "host/host_string.h"

namespace dwx {

// The host's service-access object, handed to the entry function.
class HostApi {
 public:
  // A service of that class with one reference held for the caller, or null.
  virtual void* find_service(const GUID* class_guid, uint32_t index) = 0;
  virtual void unused_slot1() = 0;
  virtual HWND main_window() = 0;

 protected:
  ~HostApi() = default;
};

// The first three slots of every counted service object, the host's and ours.
class ServiceObject {
 public:
  virtual int32_t release() = 0;
  virtual int32_t add_ref() = 0;
  virtual void* query(const GUID* class_guid) = 0;

 protected:
  ~ServiceObject() = default;
};

class HostConsole : public ServiceObject {
 public:
  virtual void output(int32_t level, const char* text, const char* source) = 0;

 protected:
  ~HostConsole() = default;
};

class PlaybackControl : public ServiceObject {
 public:
  // Slots 3 to 13 belong to the host; the component calls only 14 and 15.
  virtual void slot3() = 0;
  virtual void slot4() = 0;
  virtual void slot5() = 0;
  virtual void slot6() = 0;
  virtual void slot7() = 0;
  virtual void slot8() = 0;
  virtual void slot9() = 0;
  virtual void slot10() = 0;
  virtual void slot11() = 0;
  virtual void slot12() = 0;
  virtual void slot13() = 0;
  virtual void set_volume(int32_t hdb) = 0;
  virtual int32_t get_volume() = 0;

 protected:
  ~PlaybackControl() = default;
};

// The layout framework's host of an extension window. Only slot 19 is called.
class ExtensionHost {
 public:
  virtual void slot0() = 0;
  virtual void slot1() = 0;
  virtual void slot2() = 0;
  virtual void slot3() = 0;
  virtual void slot4() = 0;
  virtual void slot5() = 0;
  virtual void slot6() = 0;
  virtual void slot7() = 0;
  virtual void slot8() = 0;
  virtual void slot9() = 0;
  virtual void slot10() = 0;
  virtual void slot11() = 0;
  virtual void slot12() = 0;
  virtual void slot13() = 0;
  virtual void slot14() = 0;
  virtual void slot15() = 0;
  virtual void slot16() = 0;
  virtual void slot17() = 0;
  virtual void slot18() = 0;
  virtual void detach_window(HWND window) = 0;

 protected:
  ~ExtensionHost() = default;
};

}  // namespace dwx
