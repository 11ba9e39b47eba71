// Builds configuration blobs record by record, and reads them back, for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

class BlobBuilder {
 public:
  BlobBuilder& u32(uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
  }
  BlobBuilder& raw(const std::string& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // A complete record for a 32-bit value.
  BlobBuilder& record(const std::string& name, int32_t value) {
    return u32(static_cast<uint32_t>(name.size()))
        .raw(name)
        .u32(4)
        .u32(static_cast<uint32_t>(value));
  }
  // A record whose value has any size.
  BlobBuilder& record_bytes(const std::string& name, const std::string& value) {
    return u32(static_cast<uint32_t>(name.size()))
        .raw(name)
        .u32(static_cast<uint32_t>(value.size()))
        .raw(value);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  operator std::vector<uint8_t>() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// The 32-bit values of a well-formed blob, by name; the last record of a name wins.
inline std::map<std::string, int32_t> blob_values(const std::vector<uint8_t>& blob) {
  std::map<std::string, int32_t> values;
  size_t at = 0;
  auto u32 = [&](size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
      v = v << 8 | blob[offset + i];
    return v;
  };
  while (at + 4 <= blob.size()) {
    const uint32_t name_length = u32(at);
    if (at + 8 + name_length > blob.size()) break;
    const std::string name(reinterpret_cast<const char*>(&blob[at + 4]), name_length);
    const uint32_t value_size = u32(at + 4 + name_length);
    const size_t value_at = at + 8 + name_length;
    if (value_at + value_size > blob.size()) break;
    if (value_size == 4) values[name] = static_cast<int32_t>(u32(value_at));
    at = value_at + value_size;
  }
  return values;
}

}  // namespace testing_support
