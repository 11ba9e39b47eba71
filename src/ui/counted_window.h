// The reference-counted extension-window objects the host receives, and their factories.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "frame/service_factory.h"
#include "host/guids.h"
#include "host/component_api.h"

namespace dwx {

// The counting layer on top of a window implementation: the count sits after
// the implementation's fields, and the last release frees the object.
template <class Window>
class CountedWindow final : public Window {
 public:
  // A new object holding one reference for the caller; null when the heap
  // has no room.
  static ExtensionWindow* create() {
    void* memory = malloc(sizeof(CountedWindow));
    if (memory == nullptr) return nullptr;
    return new (memory) CountedWindow;
  }

  int32_t add_ref() override { return ref_count_.fetch_add(1) + 1; }

  int32_t release() override {
    const int32_t count = ref_count_.fetch_sub(1) - 1;
    if (count == 0) {
      // The window's procedures call into this object: the window goes first.
      this->destroy_window();
      this->~CountedWindow();
      free(this);
    }
    return count;
  }

 private:
  CountedWindow() = default;
  ~CountedWindow() = default;

  std::atomic<int32_t> ref_count_{1};
};

// One node of the service list per kind of window; each create() builds a
// new object.
template <class Window>
class ExtensionWindowFactory final : public ListedFactory {
 public:
  ExtensionWindowFactory() : ListedFactory(extension_window_class) {}
  void* create() override { return CountedWindow<Window>::create(); }
};

}  // namespace dwx
