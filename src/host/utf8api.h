// The host's UTF-8 wrappers around Windows calls, as the component imports them from utf8api.dll.
#pragma once

#include <windows.h>

#include <cstdarg>

#include "host/host_string.h"

// Plain cdecl exports. Every text is NUL-terminated UTF-8; each wrapper does
// what the Windows call of the same name without the "u" does and returns its
// result. A class or resource name may also be an atom or MAKEINTRESOURCE.
extern "C" {
__declspec(dllimport) BOOL __cdecl IsUnicode(void);
__declspec(dllimport) HWND
    __cdecl uCreateWindowEx(DWORD ex_style, const char* class_name, const char* window_name,
                            DWORD style, int x, int y, int width, int height, HWND parent,
                            HMENU menu, HINSTANCE instance, void* param);
__declspec(dllimport) ATOM __cdecl uRegisterClass(const WNDCLASSA* window_class);
__declspec(dllimport) BOOL __cdecl uUnregisterClass(const char* class_name, HINSTANCE instance);
__declspec(dllimport) LRESULT
    __cdecl uDefWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
__declspec(dllimport) LRESULT __cdecl uCallWindowProc(WNDPROC previous, HWND window, UINT message,
                                                      WPARAM wparam, LPARAM lparam);
// LONG_PTR is the 4-byte LONG on 32-bit Windows, so the interface is unchanged
// there, and a pointer fits on both builds.
__declspec(dllimport) LONG_PTR __cdecl uGetWindowLong(HWND window, int index);
__declspec(dllimport) LONG_PTR __cdecl uSetWindowLong(HWND window, int index, LONG_PTR value);
__declspec(dllimport) LRESULT
    __cdecl uSendMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
__declspec(dllimport) LRESULT
    __cdecl uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text);
__declspec(dllimport) LRESULT
    __cdecl uSendDlgItemMessage(HWND dialog, int item, UINT message, WPARAM wparam, LPARAM lparam);
__declspec(dllimport) HCURSOR __cdecl uLoadCursor(HINSTANCE instance, const char* name);
__declspec(dllimport) HMODULE __cdecl uGetModuleHandle(const char* name);
__declspec(dllimport) int __cdecl uMessageBox(HWND owner, const char* text, const char* caption,
                                              UINT flags);
__declspec(dllimport) void __cdecl uPrintfV(dwx::HostString* out, const char* format, va_list args);
__declspec(dllimport) HWND __cdecl uCreateDialog(HINSTANCE instance, UINT template_id, HWND parent,
                                                 DLGPROC procedure, LPARAM param);
}
