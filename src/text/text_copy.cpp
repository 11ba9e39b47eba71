// Bounded lengths and heap copies of NUL-terminated text.
#include "text/text_copy.h"

#include <cstdlib>
#include <cstring>

namespace dwx {

uint32_t bounded_length(const char* text, uint32_t max) {
  if (text == nullptr) return 0;
  uint32_t length = 0;
  while (length < max && text[length] != '\0')
    ++length;
  return length;
}

uint32_t bounded_length(const char16_t* text, uint32_t max) {
  if (text == nullptr) return 0;
  uint32_t length = 0;
  while (length < max && text[length] != 0)
    ++length;
  return length;
}

char* copy_text(const char* text, uint32_t max) {
  const size_t length = bounded_length(text, max);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy == nullptr) return nullptr;
  if (length != 0) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

void replace_copy(char** held, const char* text) {
  // A fresh copy before the old one goes, so that a text taken from the old
  // copy (or from inside it) is still readable while it is copied.
  char* copy = text != nullptr && text[0] != '\0' ? copy_text(text, unbounded) : nullptr;
  std::free(*held);
  *held = copy;
}

}  // namespace dwx
