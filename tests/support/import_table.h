// Reading and patching the import table of a loaded module.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The DLLs a loaded module imports from, lower case, in table order.
std::vector<std::string> imported_dlls(HMODULE module);
// The names a loaded module exports, in table order.
std::vector<std::string> exported_names(HMODULE module);

// Points one import of a loaded module at a replacement for as long as the
// patch lives. Calls through the import table, as the component makes all
// of its calls into system DLLs, then reach the replacement.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool applied() const { return slot_ != nullptr; }
  // The function the import pointed at before.
  template <class F>
  F original() const {
    return reinterpret_cast<F>(original_);
  }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace testing_support
