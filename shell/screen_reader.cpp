// Reading a window's accessible object as a screen reader does.
#include "shell/screen_reader.h"

#include <oleacc.h>

#include "shell/text.h"

namespace shell {

namespace {

// Defined here: MinGW's import libraries can resolve a GUID to a thunk
// rather than to its bytes.
const IID iid_iaccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::wstring taken(BSTR text) {
  std::wstring kept = text != nullptr ? text : L"";
  SysFreeString(text);
  return kept;
}

}  // namespace

std::string spoken_text(HWND window) {
  // A screen reader's thread has COM; the shell's own has not.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string said = "nothing: the window has no accessible object";
  IAccessible* object = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, iid_iaccessible,
                                           reinterpret_cast<void**>(&object)))) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr, value = nullptr;
    VARIANT role;
    VariantInit(&role);
    object->get_accName(self, &name);
    object->get_accRole(self, &role);
    object->get_accValue(self, &value);
    wchar_t role_text[64] = {};
    if (role.vt == VT_I4) GetRoleTextW(role.lVal, role_text, 64);
    said = narrow(taken(name) + L", " + role_text + L", " + taken(value));
    object->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return said;
}

}  // namespace shell
