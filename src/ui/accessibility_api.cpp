// Finding oleacc's, ole32's and oleaut32's functions when a client first asks.
#include "ui/accessibility_api.h"

#include <atomic>

namespace dwx {

const IID iid_iunknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID iid_idispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID iid_iaccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

namespace {

enum class Lookup : int { not_tried, looking, found, missing };

std::atomic<Lookup> outcome{Lookup::not_tried};
// Written once, by the one thread that looks, before it publishes the outcome.
AccessibilityApi api;

// Not imported (see accessibility_api.h), so found here, by full path: a
// library of the same name beside the player is not the system's. The
// library stays loaded, as the component itself does once it has handed out
// an object.
FARPROC find(const char* library, const char* name) {
  wchar_t path[MAX_PATH + 16];  // the longest name below fits
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  wchar_t* end = path + length;
  // The names are ASCII: a character is a UTF-16 unit.
  while ((*end++ = static_cast<unsigned char>(*library++)) != L'\0') {
  }
  HMODULE module = LoadLibraryW(path);
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

template <class Function>
bool find(Function* function, const char* library, const char* name) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(find(library, name)));
  return *function != nullptr;
}

}  // namespace

const AccessibilityApi* accessibility_api() {
  Lookup expected = Lookup::not_tried;
  if (outcome.compare_exchange_strong(expected, Lookup::looking)) {
    // A client on another thread asking meanwhile gets the trackbar's own
    // answer this once.
    const bool all = find(&api.lresult_from_object, "\\oleacc.dll", "LresultFromObject") &&
                     find(&api.object_from_window, "\\oleacc.dll", "AccessibleObjectFromWindow") &&
                     find(&api.disconnect_object, "\\ole32.dll", "CoDisconnectObject") &&
                     find(&api.alloc_string, "\\oleaut32.dll", "SysAllocString");
    expected = all ? Lookup::found : Lookup::missing;
    outcome.store(expected);
  }
  return expected == Lookup::found ? &api : nullptr;
}

}  // namespace dwx
