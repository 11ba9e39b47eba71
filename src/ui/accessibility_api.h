// The few functions of the system's accessibility and COM libraries the sliders' accessible objects
// use.
#pragma once

#include <windows.h>

#include <oleacc.h>

namespace dwx {

// oleacc, ole32 and oleaut32 are deliberately not among the component's
// imports, which stay kernel32, user32, winmm, msvcrt and utf8api: a player
// with no assistive technology never loads them. The rule that every call
// into a system library goes through the import table, where a host or a
// tool may hook it, is about the libraries the component imports; for these
// three, looking them up when a client first asks a slider for its
// accessible object is the only way to keep the five imports. Every call
// below goes through a pointer found then.
struct AccessibilityApi {
  LRESULT(WINAPI* lresult_from_object)(REFIID, WPARAM, LPUNKNOWN);
  HRESULT(WINAPI* object_from_window)(HWND, DWORD, REFIID, void**);
  HRESULT(WINAPI* disconnect_object)(LPUNKNOWN, DWORD);
  BSTR(WINAPI* alloc_string)(const OLECHAR*);
};

// Loads the three libraries from the system folder and finds the functions
// the first time, on any thread; null when one of them cannot be had, then
// and ever after.
const AccessibilityApi* accessibility_api();

// The interfaces the component passes or answers, defined here: MinGW's
// import libraries can resolve a GUID to a thunk rather than to its bytes.
extern const IID iid_iunknown;
extern const IID iid_idispatch;
extern const IID iid_iaccessible;

}  // namespace dwx
