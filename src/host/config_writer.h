// The writer through which the host collects the configuration blob.
#pragma once

#include <cstdint>

namespace dwx {

// One slot: append `count` bytes. The host's result is ignored.
class ConfigWriter {
 public:
  virtual bool write(const void* bytes, uint32_t count) = 0;

 protected:
  ~ConfigWriter() = default;
};

}  // namespace dwx
