// Extra exports of this utf8api.dll for tests and for the shell.
#pragma once

#include "utf8api.h"

extern "C" {

// Chooses what IsUnicode() answers: 1 TRUE, 0 FALSE, -1 back to the default
// (TRUE). Lets a test run both the wide and the ANSI branch of a caller.
UTF8API_EXPORT void __cdecl utf8api_set_unicode(int mode);

// Receives what uMessageBox would show; its result is uMessageBox's result.
typedef int(__cdecl* utf8api_message_box_hook)(void* context, HWND owner, const char* text,
                                               const char* caption, UINT flags);
// Installs a hook that replaces the modal box (a test must never block on
// one), or removes it with a null hook.
UTF8API_EXPORT void __cdecl utf8api_set_message_box_hook(utf8api_message_box_hook hook,
                                                         void* context);
}
