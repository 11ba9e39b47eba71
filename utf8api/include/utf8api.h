// utf8api.dll: UTF-8 wrappers around Windows calls, as a host program uses them.
#pragma once

#include <windows.h>

#include <stdarg.h>

#ifdef UTF8API_BUILDING
#define UTF8API_EXPORT __declspec(dllexport)
#else
#define UTF8API_EXPORT __declspec(dllimport)
#endif

// Every text is NUL-terminated UTF-8. Each wrapper does what the Windows call
// of the same name without the "u" does, in its wide form while IsUnicode()
// answers TRUE and in its ANSI form otherwise, and returns that call's result.
extern "C" {
UTF8API_EXPORT BOOL __cdecl IsUnicode(void);
UTF8API_EXPORT HWND __cdecl uCreateWindowEx(DWORD ex_style, const char* class_name,
                                            const char* window_name, DWORD style, int x, int y,
                                            int width, int height, HWND parent, HMENU menu,
                                            HINSTANCE instance, void* param);
UTF8API_EXPORT ATOM __cdecl uRegisterClass(const WNDCLASSA* window_class);
UTF8API_EXPORT BOOL __cdecl uUnregisterClass(const char* class_name, HINSTANCE instance);
UTF8API_EXPORT LRESULT __cdecl uDefWindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam);
UTF8API_EXPORT LRESULT __cdecl uCallWindowProc(WNDPROC previous, HWND window, UINT message,
                                               WPARAM wparam, LPARAM lparam);
UTF8API_EXPORT LONG_PTR __cdecl uGetWindowLong(HWND window, int index);  // LONG on 32-bit
UTF8API_EXPORT LONG_PTR __cdecl uSetWindowLong(HWND window, int index, LONG_PTR value);
UTF8API_EXPORT LRESULT __cdecl uSendMessage(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam);
UTF8API_EXPORT LRESULT __cdecl uSendMessageText(HWND window, UINT message, WPARAM wparam,
                                                const char* text);
UTF8API_EXPORT LRESULT __cdecl uSendDlgItemMessage(HWND dialog, int item, UINT message,
                                                   WPARAM wparam, LPARAM lparam);
UTF8API_EXPORT HCURSOR __cdecl uLoadCursor(HINSTANCE instance, const char* name);
UTF8API_EXPORT HMODULE __cdecl uGetModuleHandle(const char* name);
UTF8API_EXPORT int __cdecl uMessageBox(HWND owner, const char* text, const char* caption,
                                       UINT flags);
// `out` is a string object whose slot 2 is set(text, max_length), called
// __thiscall; the formatted text is stored through it.
UTF8API_EXPORT void __cdecl uPrintfV(void* out, const char* format, va_list args);
UTF8API_EXPORT HWND __cdecl uCreateDialog(HINSTANCE instance, UINT template_id, HWND parent,
                                          DLGPROC procedure, LPARAM param);
}
