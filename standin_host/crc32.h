// CRC-32 as zlib and PNG compute it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace standin {

inline uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const struct Table {
    uint32_t entries[256];
    Table() {
      for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
          c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        entries[n] = c;
      }
    }
  } table;
  crc = ~crc;
  for (size_t i = 0; i < size; ++i)
    crc = table.entries[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

}  // namespace standin
