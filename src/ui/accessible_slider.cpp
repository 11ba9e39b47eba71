// The sliders' accessible object: a slider named "Volume" whose value is the
// level as the toolbar's tooltip writes it.
#include "ui/accessible_slider.h"

#include <oleacc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "ui/accessibility_api.h"
#include "ui/level_announcement.h"
#include "ui/level_text.h"

namespace dwx {

namespace {

// Where a trackbar keeps its object, from the first request to its end.
constexpr wchar_t object_property[] = L"dwx.accessible";

// A VARIANT argument naming a child, as the methods below take it: a block
// of a VARIANT's size with the same fields where they read them. Declared as
// a VARIANT, which asks for 8-byte alignment that arguments on the 32-bit
// stack do not have, it would be copied to an aligned place first in every
// method.
struct Child {
  VARTYPE vt;
  WORD reserved[3];
  LONG id;
  BYTE rest[sizeof(VARIANT) - 12];
  bool is_self() const { return vt == VT_I4 && id == CHILDID_SELF; }
};
static_assert(sizeof(Child) == sizeof(VARIANT) && offsetof(VARIANT, lVal) == offsetof(Child, id),
              "passed as a VARIANT is");

// Whether the keyboard focus of the window's own thread is on it; asked from
// any thread.
bool has_focus(HWND window) {
  GUITHREADINFO info = {sizeof info};
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         info.hwndFocus == window;
}

// The object belongs to its clients, which may hold it as long as they like.
// Once its trackbar is gone every call but IUnknown's answers
// RPC_E_DISCONNECTED, the error a client in another process gets from its
// proxy once CoDisconnectObject has cut it loose. Its methods are IAccessible's
// in their slot order (IUnknown's, IDispatch's, then IAccessible's own), and
// the object is handed out as one.
class AccessibleSlider final {
 public:
  // One reference, the trackbar's.
  static AccessibleSlider* create(HWND trackbar, const AccessibilityApi* api) {
    void* memory = malloc(sizeof(AccessibleSlider));
    return memory != nullptr ? new (memory) AccessibleSlider(trackbar, api) : nullptr;
  }
  void disconnect() { trackbar_.store(nullptr); }

  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out);
  virtual ULONG STDMETHODCALLTYPE AddRef() { return ++count_; }
  virtual ULONG STDMETHODCALLTYPE Release();

  // What each call answers once answer()'s checks pass: a slider with no
  // children, no default action, no description, help or shortcut, and a
  // value that only the slider itself sets.
  // clang-format off
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) { return answer(true, count, sizeof *count, S_OK); }
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) { return answer(true, info, sizeof *info, E_NOTIMPL); }
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return answer(true, nullptr, 0, E_NOTIMPL); }
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) { return answer(true, nullptr, 0, E_NOTIMPL); }
  virtual HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent);
  virtual HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) { return answer(true, count, sizeof *count, S_OK); }
  virtual HRESULT STDMETHODCALLTYPE get_accChild(Child, IDispatch** child) { return answer(true, child, sizeof *child, E_INVALIDARG); }
  virtual HRESULT STDMETHODCALLTYPE get_accName(Child child, BSTR* name) { return text(child.is_self(), name, "Volume"); }
  virtual HRESULT STDMETHODCALLTYPE get_accValue(Child child, BSTR* value);
  virtual HRESULT STDMETHODCALLTYPE get_accDescription(Child child, BSTR* out) { return answer(child.is_self(), out, sizeof *out, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE get_accRole(Child child, VARIANT* role) { return number(child.is_self(), role, ROLE_SYSTEM_SLIDER); }
  virtual HRESULT STDMETHODCALLTYPE get_accState(Child child, VARIANT* state);
  virtual HRESULT STDMETHODCALLTYPE get_accHelp(Child child, BSTR* out) { return answer(child.is_self(), out, sizeof *out, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, Child child, LONG* topic) { return answer(child.is_self(), file, sizeof *file, DISP_E_MEMBERNOTFOUND, topic, sizeof *topic); }
  virtual HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(Child child, BSTR* out) { return answer(child.is_self(), out, sizeof *out, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) { return self_if(focus, has_focus(trackbar_.load())); }
  virtual HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) { return answer(true, selection, sizeof *selection, S_FALSE); }
  virtual HRESULT STDMETHODCALLTYPE get_accDefaultAction(Child child, BSTR* out) { return answer(child.is_self(), out, sizeof *out, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE accSelect(LONG, Child child) { return answer(child.is_self(), nullptr, 0, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, Child child);
  virtual HRESULT STDMETHODCALLTYPE accNavigate(LONG, Child start, VARIANT* end) { return answer(start.is_self(), end, sizeof *end, S_FALSE); }
  virtual HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit);
  virtual HRESULT STDMETHODCALLTYPE accDoDefaultAction(Child child) { return answer(child.is_self(), nullptr, 0, DISP_E_MEMBERNOTFOUND); }
  virtual HRESULT STDMETHODCALLTYPE put_accName(Child child, BSTR) { return answer(child.is_self(), nullptr, 0, E_NOTIMPL); }
  virtual HRESULT STDMETHODCALLTYPE put_accValue(Child child, BSTR) { return answer(child.is_self(), nullptr, 0, DISP_E_MEMBERNOTFOUND); }
  // clang-format on

 private:
  AccessibleSlider(HWND trackbar, const AccessibilityApi* api) : trackbar_(trackbar), api_(api) {}
  ~AccessibleSlider() = default;

  // The checks every call but IUnknown's makes, in this order: a place for
  // the answer (and for a second one, when the call has two), which is
  // cleared: an empty VARIANT, a null pointer, 0; the trackbar still there;
  // the slider itself as the child asked about (`of_self`, true when none
  // is). Then `result`.
  HRESULT answer(bool of_self, void* out, size_t out_size, HRESULT result, void* second = nullptr,
                 size_t second_size = 0) const;
  // A text or a number about the slider itself.
  HRESULT text(bool of_self, BSTR* out, const char* ascii) const;
  HRESULT number(bool of_self, VARIANT* out, LONG value) const;
  // The slider itself when `yes`, nothing otherwise (S_FALSE).
  HRESULT self_if(VARIANT* out, bool yes) const;

  std::atomic<HWND> trackbar_;  // null once disconnected
  const AccessibilityApi* api_;
  std::atomic<ULONG> count_{1};
};

HRESULT AccessibleSlider::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  static const IID* const known_interfaces[] = {&iid_iunknown, &iid_idispatch, &iid_iaccessible};
  for (const IID* known : known_interfaces) {
    if (memcmp(&iid, known, sizeof iid) == 0) {
      AddRef();
      *out = this;
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG AccessibleSlider::Release() {
  const ULONG count = --count_;
  if (count == 0) {
    this->~AccessibleSlider();
    free(this);
  }
  return count;
}

HRESULT AccessibleSlider::answer(bool of_self, void* out, size_t out_size, HRESULT result,
                                 void* second, size_t second_size) const {
  if ((out_size != 0 && out == nullptr) || (second_size != 0 && second == nullptr)) {
    return E_INVALIDARG;
  }
  if (out_size != 0) memset(out, 0, out_size);
  if (second_size != 0) memset(second, 0, second_size);
  if (trackbar_.load() == nullptr) return RPC_E_DISCONNECTED;
  if (!of_self) return E_INVALIDARG;
  return result;
}

HRESULT AccessibleSlider::text(bool of_self, BSTR* out, const char* ascii) const {
  const HRESULT result = answer(of_self, out, sizeof *out, S_OK);
  if (result != S_OK) return result;
  // The texts are ASCII: a character is a UTF-16 unit.
  wchar_t wide[sizeof(LevelText)];
  size_t i = 0;
  for (; i + 1 < sizeof wide / sizeof wide[0] && ascii[i] != '\0'; ++i)
    wide[i] = static_cast<unsigned char>(ascii[i]);
  wide[i] = L'\0';
  *out = api_->alloc_string(wide);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleSlider::number(bool of_self, VARIANT* out, LONG value) const {
  const HRESULT result = answer(of_self, out, sizeof *out, S_OK);
  if (result == S_OK) {
    out->vt = VT_I4;
    out->lVal = value;
  }
  return result;
}

HRESULT AccessibleSlider::self_if(VARIANT* out, bool yes) const {
  const HRESULT result = answer(true, out, sizeof *out, S_FALSE);
  if (result != S_FALSE || !yes) return result;
  out->vt = VT_I4;
  out->lVal = CHILDID_SELF;
  return S_OK;
}

HRESULT AccessibleSlider::get_accParent(IDispatch** parent) {
  // The trackbar's window object, as for any control.
  const HRESULT result = answer(true, parent, sizeof *parent, S_OK);
  if (result != S_OK) return result;
  return api_->object_from_window(trackbar_.load(), OBJID_WINDOW, iid_idispatch,
                                  reinterpret_cast<void**>(parent));
}

HRESULT AccessibleSlider::get_accValue(Child child, BSTR* value) {
  // Read as every slider reads it, under the backend lock, on whatever
  // thread the client calls. A hook running while this thread hands out a
  // broadcast holds the registry lock, under which the backend lock is never
  // taken; the level it hands out is the newest there is.
  VolumeLevel level = level_silence;
  bool known = true;
  if (slider_registry.delivering_here()) {
    level = slider_registry.delivered_level();
  } else if (trackbar_.load() != nullptr) {
    known = volume_backend.get_volume(&level);
  }
  // A target that cannot be read has no level to tell.
  if (!known) return answer(child.is_self(), value, sizeof *value, S_FALSE);
  return text(child.is_self(), value, level_text(level).c_str());
}

HRESULT AccessibleSlider::get_accState(Child child, VARIANT* state) {
  HWND window = trackbar_.load();
  LONG flags = STATE_SYSTEM_FOCUSABLE;
  if (!IsWindowEnabled(window)) flags |= STATE_SYSTEM_UNAVAILABLE;
  if (!IsWindowVisible(window)) flags |= STATE_SYSTEM_INVISIBLE;
  if (has_focus(window)) flags |= STATE_SYSTEM_FOCUSED;
  return number(child.is_self(), state, flags);
}

HRESULT AccessibleSlider::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                      Child child) {
  if (left == nullptr || top == nullptr) return E_INVALIDARG;
  *left = *top = 0;
  HRESULT result = answer(child.is_self(), width, sizeof *width, S_OK, height, sizeof *height);
  RECT rect;
  // A window that went meanwhile is as good as disconnected.
  if (result == S_OK && !GetWindowRect(trackbar_.load(), &rect)) result = RPC_E_DISCONNECTED;
  if (result != S_OK) return result;
  *left = rect.left;
  *top = rect.top;
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  return S_OK;
}

HRESULT AccessibleSlider::accHitTest(LONG x, LONG y, VARIANT* hit) {
  RECT rect;
  const bool inside =
      GetWindowRect(trackbar_.load(), &rect) && PtInRect(&rect, POINT{x, y}) != FALSE;
  return self_if(hit, inside);
}

// A client may hold the object, and call it, for as long as it likes, and
// the host may unload the component meanwhile: from the first object handed
// out on, the component keeps itself loaded until the process ends.
std::atomic<bool> kept_loaded{false};
bool keep_loaded() {
  if (kept_loaded.load()) return true;
  HMODULE self;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&kept_loaded), &self)) {
    return false;
  }
  kept_loaded.store(true);
  return true;
}

bool answer_object_request(HWND trackbar, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  // Only the client area is the slider; the trackbar's window object and the
  // rest are the system's.
  if (static_cast<DWORD>(lparam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
  const AccessibilityApi* api = accessibility_api();
  if (api == nullptr || !keep_loaded()) return false;
  auto* object = static_cast<AccessibleSlider*>(GetPropW(trackbar, object_property));
  if (object == nullptr) {
    object = AccessibleSlider::create(trackbar, api);
    if (object == nullptr) return false;
    if (!SetPropW(trackbar, object_property, object)) {
      object->Release();
      return false;
    }
  }
  const LRESULT answer =
      api->lresult_from_object(iid_iaccessible, wparam, reinterpret_cast<IUnknown*>(object));
  // A failure (an HRESULT) leaves the answer to the trackbar.
  if (answer < 0) return false;
  *result = answer;
  return true;
}

}  // namespace

bool handle_accessibility_message(HWND trackbar, UINT message, WPARAM wparam, LPARAM lparam,
                                  LRESULT* result) {
  switch (message) {
    case WM_GETOBJECT:
      return answer_object_request(trackbar, wparam, lparam, result);
    case announce_level_message:
      announce_level(trackbar);
      *result = 0;
      return true;
    case WM_NCDESTROY:
      disconnect_accessible(trackbar);
      break;
  }
  return false;
}

void disconnect_accessible(HWND trackbar) {
  auto* object = static_cast<AccessibleSlider*>(RemovePropW(trackbar, object_property));
  if (object == nullptr) return;
  object->disconnect();
  // Clients in other processes hold it through COM's stubs: cut loose, they
  // get the same error from their proxies.
  accessibility_api()->disconnect_object(reinterpret_cast<IUnknown*>(object), 0);
  object->Release();
}

}  // namespace dwx
