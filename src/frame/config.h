// Named configuration variables and the blob they travel in between host and component.
#pragma once

#include <atomic>
#include <cstdint>

#include "host/config_writer.h"
#include "text/text_copy.h"

namespace dwx {

class ConfigVar;

// The variables of one process, newest first. The blob is a sequence of
// records {u32 name_length, name, u32 value_size, value}, little-endian, with
// no header and no terminator, one record per variable in list order.
class ConfigList {
 public:
  constexpr ConfigList() = default;

  // Writes one record per variable, every time, defaults included.
  void write(ConfigWriter& writer) const;
  // Hands each complete record to the first variable of that name; stops at
  // the first record that runs past the end. Unknown names are skipped.
  void read(const void* data, uint32_t size) const;

 private:
  friend class ConfigVar;
  ConfigVar* head_ = nullptr;
};

class ConfigVar {
 public:
  // Writes the value through the writer; false leaves the variable out of the blob.
  virtual bool write_value(ConfigWriter& writer) const = 0;
  // Takes `size` bytes of stored value data.
  virtual void read_value(const uint8_t* data, uint32_t size) = 0;

  // The empty string when the name could not be copied.
  const char* name() const { return name_.get(); }
  ConfigVar* next() const { return next_; }

 protected:
  // Copies the name and links the variable at the head of the list.
  ConfigVar(ConfigList& list, const char* name);
  ~ConfigVar() = default;
  ConfigVar(const ConfigVar&) = delete;
  ConfigVar& operator=(const ConfigVar&) = delete;

 private:
  OwnedText name_;
  ConfigVar* next_;
};

// A signed 32-bit variable, 0 until the blob or the code sets it. Values are
// single words, read and stored whole from any thread without a lock; nobody
// is told of a change.
class ConfigInt final : public ConfigVar {
 public:
  ConfigInt(ConfigList& list, const char* name) : ConfigVar(list, name) {}

  int32_t value() const { return value_.load(std::memory_order_relaxed); }
  void set(int32_t value) { value_.store(value, std::memory_order_relaxed); }

  bool write_value(ConfigWriter& writer) const override;
  // Exactly 4 bytes set the value; any other size leaves it alone.
  void read_value(const uint8_t* data, uint32_t size) override;

 private:
  std::atomic<int32_t> value_{0};
};

}  // namespace dwx
