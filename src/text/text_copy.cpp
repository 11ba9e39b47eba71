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

void OwnedText::assign(const char* text) {
  if (text == nullptr || text[0] == '\0') {
    clear();
    return;
  }
  // A fresh copy before the old one goes, so that a text taken from this
  // very copy (or from inside it) is still readable while it is copied.
  char* copy = copy_text(text, unbounded);
  std::free(text_);
  text_ = copy;
}

void OwnedText::clear() {
  std::free(text_);
  text_ = nullptr;
}

}  // namespace dwx
