// Reading and writing the configuration blob.
#include "frame/config.h"

#include <cstring>

#include "text/byte_block.h"
#include "text/text_copy.h"

namespace dwx {

namespace {

void put_u32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t get_u32(const uint8_t* in) {
  return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

// Collects one variable's value bytes before its record is written, because
// the record states the value's size ahead of it. A value as small as the
// component's own stays on the stack: a heap that is short just when the host
// collects the settings must not cost the user their choices. A larger one
// moves to the heap, whose memory stays for the next variable.
class ScratchWriter final : public ConfigWriter {
 public:
  bool write(const void* bytes, uint32_t count) override {
    if (count == 0) return true;
    if (heap_.size() == 0 && count <= sizeof stack_ - size_) {
      memcpy(stack_ + size_, bytes, count);
      size_ += count;
      return true;
    }
    // An empty block appended to gives no address: only bytes move over.
    if (heap_.size() == 0 && size_ != 0 && heap_.append(stack_, size_) == nullptr) return false;
    if (heap_.append(bytes, count) == nullptr) return false;
    size_ = heap_.size();
    return true;
  }
  void clear() {
    size_ = 0;
    heap_.set_size(0);
  }
  const uint8_t* data() const { return heap_.size() != 0 ? heap_.data() : stack_; }
  uint32_t size() const { return size_; }

 private:
  uint8_t stack_[16];
  uint32_t size_ = 0;
  ByteBlock heap_{GrowthMode::grow_only};  // freed when the writing ends
};

// Reads forward through the blob; every take fails once too few bytes remain.
struct Cursor {
  const uint8_t* position;
  uint32_t remaining;

  bool take_u32(uint32_t& value) {
    if (remaining < 4) return false;
    value = get_u32(position);
    skip(4);
    return true;
  }
  void skip(uint32_t count) {
    position += count;
    remaining -= count;
  }
};

}  // namespace

ConfigVar::ConfigVar(ConfigList& list, const char* name) : next_(list.head_) {
  name_.assign(name);
  list.head_ = this;
}

void ConfigList::write(ConfigWriter& writer) const {
  ScratchWriter scratch;
  for (const ConfigVar* var = head_; var != nullptr; var = var->next()) {
    scratch.clear();
    if (!var->write_value(scratch)) continue;

    uint8_t field[4];
    const char* name = var->name();
    const uint32_t name_length = static_cast<uint32_t>(strlen(name));
    put_u32(field, name_length);
    writer.write(field, 4);
    writer.write(name, name_length);
    put_u32(field, scratch.size());
    writer.write(field, 4);
    if (scratch.size() > 0) writer.write(scratch.data(), scratch.size());
  }
}

void ConfigList::read(const void* data, uint32_t size) const {
  if (size <= 4) return;
  Cursor cursor{static_cast<const uint8_t*>(data), size};
  do {
    uint32_t name_length = 0;
    if (!cursor.take_u32(name_length) || name_length > cursor.remaining) return;
    const char* name = reinterpret_cast<const char*>(cursor.position);
    // A NUL inside the name field ends the name.
    const uint32_t name_used = bounded_length(name, name_length);
    cursor.skip(name_length);

    uint32_t value_size = 0;
    if (!cursor.take_u32(value_size) || value_size > cursor.remaining) return;
    for (ConfigVar* var = head_; var != nullptr; var = var->next()) {
      const char* var_name = var->name();
      if (strlen(var_name) == name_used && memcmp(var_name, name, name_used) == 0) {
        var->read_value(cursor.position, value_size);
        break;
      }
    }
    cursor.skip(value_size);
  } while (cursor.remaining > 4);
}

bool ConfigInt::write_value(ConfigWriter& writer) const {
  uint8_t bytes[4];
  put_u32(bytes, static_cast<uint32_t>(value()));
  writer.write(bytes, 4);
  return true;
}

void ConfigInt::read_value(const uint8_t* data, uint32_t size) {
  if (size == 4) set(static_cast<int32_t>(get_u32(data)));
}

}  // namespace dwx
