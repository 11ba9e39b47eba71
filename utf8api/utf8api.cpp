// The UTF-8 wrappers: each converts its texts and calls the wide or ANSI Windows function.
// Built without exceptions and without the standard containers: a text that
// finds no room on the heap fails the call with ERROR_NOT_ENOUGH_MEMORY, and
// nothing but a result ever leaves a C export.
#define UTF8API_BUILDING
#include "utf8api.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "utf8api_testing.h"

namespace {

int unicode_mode = -1;  // -1: the default, which is the wide form
utf8api_message_box_hook message_box_hook = nullptr;
void* message_box_context = nullptr;

bool wide() { return unicode_mode != 0; }

// A class, resource or atom name: below 0x10000 it is a number, not a text.
bool is_number(const char* name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

// A text argument converted for the wide or the ANSI call, or the argument
// itself when it is null or a number standing in for a name. ok() is false
// when the heap had no room for the conversion.
template <class Unit>
class TextArg {
 public:
  TextArg(const TextArg&) = delete;
  TextArg& operator=(const TextArg&) = delete;
  ~TextArg() { free(text_); }
  bool ok() const { return ok_; }
  const Unit* get() const { return converted_ ? text_ : reinterpret_cast<const Unit*>(raw_); }

 protected:
  explicit TextArg(const char* raw) : raw_(raw), converted_(raw != nullptr && !is_number(raw)) {}
  bool converted() const { return converted_; }
  // Room for `units` units (at least one, for the NUL), already terminated;
  // null when the heap has none.
  Unit* allocate(int units) {
    if (units < 1) units = 1;
    text_ = static_cast<Unit*>(malloc(static_cast<size_t>(units) * sizeof(Unit)));
    if (text_ == nullptr) {
      fail();
    } else {
      text_[0] = 0;
    }
    return text_;
  }
  void fail() { ok_ = false; }

 private:
  const char* raw_;
  bool converted_;
  bool ok_ = true;
  Unit* text_ = nullptr;
};

class WideArg : public TextArg<wchar_t> {
 public:
  explicit WideArg(const char* text) : TextArg(text) {
    if (!converted()) return;
    // Invalid UTF-8 is replaced rather than refused: only the heap can fail.
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    wchar_t* out = allocate(units);
    if (out != nullptr && units > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, out, units);
  }
};

class AnsiArg : public TextArg<char> {
 public:
  explicit AnsiArg(const char* text) : TextArg(text) {
    if (!converted()) return;
    const WideArg wide(text);
    if (!wide.ok()) {
      fail();
      return;
    }
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
    char* out = allocate(bytes);
    if (out != nullptr && bytes > 0) {
      WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, out, bytes, nullptr, nullptr);
    }
  }
};

// What a wrapper returns when a text found no room: its call's own failure.
template <class Result>
Result no_room(Result failure) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return failure;
}

// Calls slot `slot` of a host string object, the host's calling convention.
using StringSetFn = void(__attribute__((thiscall)) *)(void* self, const char* text, unsigned max);

void string_set(void* string, const char* text) {
  auto* table = *static_cast<void* const* const*>(string);
  reinterpret_cast<StringSetFn>(table[2])(string, text, ~0u);
}

}  // namespace

extern "C" {

BOOL __cdecl IsUnicode(void) { return wide() ? TRUE : FALSE; }

HWND __cdecl uCreateWindowEx(DWORD ex_style, const char* class_name, const char* window_name,
                             DWORD style, int x, int y, int width, int height, HWND parent,
                             HMENU menu, HINSTANCE instance, void* param) {
  if (wide()) {
    const WideArg class_arg(class_name);
    const WideArg title(window_name);
    if (!class_arg.ok() || !title.ok()) return no_room<HWND>(nullptr);
    return CreateWindowExW(ex_style, class_arg.get(), title.get(), style, x, y, width, height,
                           parent, menu, instance, param);
  }
  const AnsiArg class_arg(class_name);
  const AnsiArg title(window_name);
  if (!class_arg.ok() || !title.ok()) return no_room<HWND>(nullptr);
  return CreateWindowExA(ex_style, class_arg.get(), title.get(), style, x, y, width, height, parent,
                         menu, instance, param);
}

ATOM __cdecl uRegisterClass(const WNDCLASSA* window_class) {
  if (window_class == nullptr) return 0;
  if (wide()) {
    const WideArg menu(window_class->lpszMenuName);
    const WideArg name(window_class->lpszClassName);
    if (!menu.ok() || !name.ok()) return no_room<ATOM>(0);
    WNDCLASSW copy;
    memcpy(&copy, window_class, sizeof copy);  // the same layout but for the two texts
    copy.lpszMenuName = menu.get();
    copy.lpszClassName = name.get();
    return RegisterClassW(&copy);
  }
  const AnsiArg menu(window_class->lpszMenuName);
  const AnsiArg name(window_class->lpszClassName);
  if (!menu.ok() || !name.ok()) return no_room<ATOM>(0);
  WNDCLASSA copy = *window_class;
  copy.lpszMenuName = menu.get();
  copy.lpszClassName = name.get();
  return RegisterClassA(&copy);
}

BOOL __cdecl uUnregisterClass(const char* class_name, HINSTANCE instance) {
  if (wide()) {
    const WideArg name(class_name);
    return name.ok() ? UnregisterClassW(name.get(), instance) : no_room<BOOL>(FALSE);
  }
  const AnsiArg name(class_name);
  return name.ok() ? UnregisterClassA(name.get(), instance) : no_room<BOOL>(FALSE);
}

LRESULT __cdecl uDefWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return wide() ? DefWindowProcW(window, message, wparam, lparam)
                : DefWindowProcA(window, message, wparam, lparam);
}

LRESULT __cdecl uCallWindowProc(WNDPROC previous, HWND window, UINT message, WPARAM wparam,
                                LPARAM lparam) {
  return wide() ? CallWindowProcW(previous, window, message, wparam, lparam)
                : CallWindowProcA(previous, window, message, wparam, lparam);
}

LONG_PTR __cdecl uGetWindowLong(HWND window, int index) {
  return wide() ? GetWindowLongPtrW(window, index) : GetWindowLongPtrA(window, index);
}

LONG_PTR __cdecl uSetWindowLong(HWND window, int index, LONG_PTR value) {
  return wide() ? SetWindowLongPtrW(window, index, value) : SetWindowLongPtrA(window, index, value);
}

LRESULT __cdecl uSendMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return wide() ? SendMessageW(window, message, wparam, lparam)
                : SendMessageA(window, message, wparam, lparam);
}

LRESULT __cdecl uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text) {
  if (wide()) {
    const WideArg converted(text);
    if (!converted.ok()) return no_room<LRESULT>(0);
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(converted.get()));
  }
  const AnsiArg converted(text);
  if (!converted.ok()) return no_room<LRESULT>(0);
  return SendMessageA(window, message, wparam, reinterpret_cast<LPARAM>(converted.get()));
}

LRESULT __cdecl uSendDlgItemMessage(HWND dialog, int item, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
  return wide() ? SendDlgItemMessageW(dialog, item, message, wparam, lparam)
                : SendDlgItemMessageA(dialog, item, message, wparam, lparam);
}

HCURSOR __cdecl uLoadCursor(HINSTANCE instance, const char* name) {
  if (wide()) {
    const WideArg converted(name);
    return converted.ok() ? LoadCursorW(instance, converted.get()) : no_room<HCURSOR>(nullptr);
  }
  const AnsiArg converted(name);
  return converted.ok() ? LoadCursorA(instance, converted.get()) : no_room<HCURSOR>(nullptr);
}

HMODULE __cdecl uGetModuleHandle(const char* name) {
  if (wide()) {
    const WideArg converted(name);
    return converted.ok() ? GetModuleHandleW(converted.get()) : no_room<HMODULE>(nullptr);
  }
  const AnsiArg converted(name);
  return converted.ok() ? GetModuleHandleA(converted.get()) : no_room<HMODULE>(nullptr);
}

int __cdecl uMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
  if (message_box_hook != nullptr) {
    return message_box_hook(message_box_context, owner, text, caption, flags);
  }
  if (wide()) {
    const WideArg converted_text(text);
    const WideArg converted_caption(caption);
    if (!converted_text.ok() || !converted_caption.ok()) return no_room(0);
    return MessageBoxW(owner, converted_text.get(), converted_caption.get(), flags);
  }
  const AnsiArg converted_text(text);
  const AnsiArg converted_caption(caption);
  if (!converted_text.ok() || !converted_caption.ok()) return no_room(0);
  return MessageBoxA(owner, converted_text.get(), converted_caption.get(), flags);
}

void __cdecl uPrintfV(void* out, const char* format, va_list args) {
  if (out == nullptr || format == nullptr) return;
  char small[512];
  va_list measure;
  va_copy(measure, args);
  const int length = vsnprintf(small, sizeof small, format, measure);
  va_end(measure);
  if (length < 0) {
    string_set(out, "");
  } else if (static_cast<size_t>(length) < sizeof small) {
    string_set(out, small);
  } else {
    const size_t size = static_cast<size_t>(length) + 1;
    char* large = static_cast<char*>(malloc(size));
    if (large == nullptr) {
      // No text at all rather than a cut one.
      string_set(out, "");
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return;
    }
    vsnprintf(large, size, format, args);
    string_set(out, large);
    free(large);
  }
}

HWND __cdecl uCreateDialog(HINSTANCE instance, UINT template_id, HWND parent, DLGPROC procedure,
                           LPARAM param) {
  if (wide()) {
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(template_id), parent, procedure, param);
  }
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(template_id), parent, procedure, param);
}

void __cdecl utf8api_set_unicode(int mode) { unicode_mode = mode < 0 ? -1 : (mode != 0); }

void __cdecl utf8api_set_message_box_hook(utf8api_message_box_hook hook, void* context) {
  message_box_hook = hook;
  message_box_context = context;
}

}  // extern "C"
