// The host's string object, as the component calls it (and as Utf8String implements it).
#pragma once

#include <cstdint>

namespace dwx {

// Slot order is fixed by the host: 0 get_text, 1 append, 2 set, 3 truncate,
// 4 length. Texts are NUL-terminated UTF-8; a max_length of ~0u means "up to
// the NUL". No virtual destructor: the host's compiler lays those out differently.
class HostString {
 public:
  virtual const char* get_text() = 0;
  virtual void append(const char* text, uint32_t max_length) = 0;
  virtual void set(const char* text, uint32_t max_length) = 0;
  virtual void truncate(uint32_t length) = 0;
  virtual uint32_t length() = 0;

 protected:
  ~HostString() = default;
};

}  // namespace dwx
