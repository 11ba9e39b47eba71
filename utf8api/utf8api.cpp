// The UTF-8 wrappers: each converts its texts and calls the wide or ANSI Windows function.
#define UTF8API_BUILDING
#include "utf8api.h"

#include <stdio.h>

#include <string>

#include "utf8api_testing.h"

namespace {

int unicode_mode = -1;  // -1: the default, which is the wide form
utf8api_message_box_hook message_box_hook = nullptr;
void* message_box_context = nullptr;

bool wide() { return unicode_mode != 0; }

// A class, resource or atom name: below 0x10000 it is a number, not a text.
bool is_number(const char* name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

std::wstring to_wide(const char* text) {
  std::wstring out;
  if (text == nullptr) return out;
  const int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (units <= 1) return out;
  out.resize(units - 1);
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], units);
  return out;
}

std::string to_ansi(const char* text) {
  const std::wstring units = to_wide(text);
  std::string out;
  if (units.empty()) return out;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, units.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return out;
  out.resize(bytes - 1);
  WideCharToMultiByte(CP_ACP, 0, units.c_str(), -1, &out[0], bytes, nullptr, nullptr);
  return out;
}

// A text argument in both forms; a null text, or a number standing in for a
// name, stays as it is.
class WideArg {
 public:
  explicit WideArg(const char* text) : raw_(text), number_(text == nullptr || is_number(text)) {
    if (!number_) text_ = to_wide(text);
  }
  const wchar_t* get() const {
    return number_ ? reinterpret_cast<const wchar_t*>(raw_) : text_.c_str();
  }

 private:
  const char* raw_;
  bool number_;
  std::wstring text_;
};

class AnsiArg {
 public:
  explicit AnsiArg(const char* text) : raw_(text), number_(text == nullptr || is_number(text)) {
    if (!number_) text_ = to_ansi(text);
  }
  const char* get() const { return number_ ? raw_ : text_.c_str(); }

 private:
  const char* raw_;
  bool number_;
  std::string text_;
};

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
    return CreateWindowExW(ex_style, WideArg(class_name).get(), WideArg(window_name).get(), style,
                           x, y, width, height, parent, menu, instance, param);
  }
  return CreateWindowExA(ex_style, AnsiArg(class_name).get(), AnsiArg(window_name).get(), style, x,
                         y, width, height, parent, menu, instance, param);
}

ATOM __cdecl uRegisterClass(const WNDCLASSA* window_class) {
  if (window_class == nullptr) return 0;
  if (wide()) {
    const WideArg menu(window_class->lpszMenuName);
    const WideArg name(window_class->lpszClassName);
    WNDCLASSW copy;
    memcpy(&copy, window_class, sizeof copy);  // the same layout but for the two texts
    copy.lpszMenuName = menu.get();
    copy.lpszClassName = name.get();
    return RegisterClassW(&copy);
  }
  const AnsiArg menu(window_class->lpszMenuName);
  const AnsiArg name(window_class->lpszClassName);
  WNDCLASSA copy = *window_class;
  copy.lpszMenuName = menu.get();
  copy.lpszClassName = name.get();
  return RegisterClassA(&copy);
}

BOOL __cdecl uUnregisterClass(const char* class_name, HINSTANCE instance) {
  if (wide()) return UnregisterClassW(WideArg(class_name).get(), instance);
  return UnregisterClassA(AnsiArg(class_name).get(), instance);
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
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(converted.get()));
  }
  const AnsiArg converted(text);
  return SendMessageA(window, message, wparam, reinterpret_cast<LPARAM>(converted.get()));
}

LRESULT __cdecl uSendDlgItemMessage(HWND dialog, int item, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
  return wide() ? SendDlgItemMessageW(dialog, item, message, wparam, lparam)
                : SendDlgItemMessageA(dialog, item, message, wparam, lparam);
}

HCURSOR __cdecl uLoadCursor(HINSTANCE instance, const char* name) {
  if (wide()) return LoadCursorW(instance, WideArg(name).get());
  return LoadCursorA(instance, AnsiArg(name).get());
}

HMODULE __cdecl uGetModuleHandle(const char* name) {
  if (wide()) return GetModuleHandleW(name ? WideArg(name).get() : nullptr);
  return GetModuleHandleA(name ? AnsiArg(name).get() : nullptr);
}

int __cdecl uMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
  if (message_box_hook != nullptr) {
    return message_box_hook(message_box_context, owner, text, caption, flags);
  }
  if (wide()) return MessageBoxW(owner, WideArg(text).get(), WideArg(caption).get(), flags);
  return MessageBoxA(owner, AnsiArg(text).get(), AnsiArg(caption).get(), flags);
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
    std::string large(static_cast<size_t>(length) + 1, '\0');
    vsnprintf(&large[0], large.size(), format, args);
    string_set(out, large.c_str());
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
