// NUL-terminated text: bounded lengths, heap copies and an owned copy.
#pragma once

#include <cstdint>

namespace dwx {

// The length limit that means "up to the NUL".
constexpr uint32_t unbounded = ~0u;

// Bytes before the first NUL, at most max (so ~0u means no limit); 0 for null.
uint32_t bounded_length(const char* text, uint32_t max);
// The same in 16-bit units.
uint32_t bounded_length(const char16_t* text, uint32_t max);

// A heap copy of the first bounded_length(text, max) bytes and a NUL, or null
// when the heap has no room. Free it with free().
char* copy_text(const char* text, uint32_t max);

// Replaces the copy `*held` (or none) with a copy of a NUL-terminated text;
// an empty or null text leaves no copy, and so does a heap with no room. The
// text may be taken from the old copy.
void replace_copy(char** held, const char* text);

// An owned copy of a NUL-terminated text, or no text at all (which reads as
// the empty string). Copying an empty text frees the copy held.
class OwnedText {
 public:
  constexpr OwnedText() = default;
  ~OwnedText() { clear(); }
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;

  // Replaces the held copy. When the heap cannot hold the new text, there is
  // no text afterwards.
  void assign(const char* text) { replace_copy(&text_, text); }
  void clear() { replace_copy(&text_, nullptr); }
  const char* get() const { return text_ ? text_ : ""; }
  bool empty() const { return text_ == nullptr; }

 private:
  char* text_ = nullptr;
};

}  // namespace dwx
