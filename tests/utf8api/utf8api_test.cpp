// The stand-in utf8api.dll: each wrapper in its wide and its ANSI form.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <functional>
#include <string>

#include "standin_host/host_objects.h"
#include "support/import_table.h"
#include "utf8api.h"
#include "utf8api_testing.h"

namespace {

// Runs each test once with the wide forms and once with the ANSI forms.
class Utf8Api : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { utf8api_set_unicode(GetParam() ? 1 : 0); }
  void TearDown() override { utf8api_set_unicode(-1); }
  bool wide() const { return GetParam(); }
};

std::wstring wide_of(const char* utf8) {
  wchar_t buffer[256] = {};
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, buffer, 256);
  return buffer;
}

// The text as the ANSI form would carry it: through the system code page.
std::wstring through_code_page(const char* utf8) {
  char ansi[256] = {};
  WideCharToMultiByte(CP_ACP, 0, wide_of(utf8).c_str(), -1, ansi, 256, nullptr, nullptr);
  wchar_t back[256] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, 256);
  return back;
}

// A window of a class registered through the wrappers is wide or ANSI as the
// wrappers chose, so its procedure hands on through them too.
LRESULT CALLBACK plain_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return uDefWindowProc(window, message, wparam, lparam);
}

TEST(Utf8ApiDefaults, IsUnicodeAnswersTrueUnlessATestSaysOtherwise) {
  EXPECT_TRUE(IsUnicode());
  utf8api_set_unicode(0);
  EXPECT_FALSE(IsUnicode());
  utf8api_set_unicode(1);
  EXPECT_TRUE(IsUnicode());
  utf8api_set_unicode(-1);
  EXPECT_TRUE(IsUnicode());
}

TEST_P(Utf8Api, ClassesAndWindowsTakeUtf8Names) {
  const char* class_name = "utf8api-test-\xC3\xA9t\xC3\xA9";  // "été"
  WNDCLASSA description = {};
  description.lpfnWndProc = plain_procedure;
  description.hInstance = GetModuleHandleW(nullptr);
  description.lpszClassName = class_name;
  const ATOM atom = uRegisterClass(&description);
  ASSERT_NE(0, atom);

  const std::wstring registered = wide() ? wide_of(class_name) : through_code_page(class_name);
  WNDCLASSEXW found = {sizeof found};
  EXPECT_TRUE(GetClassInfoExW(description.hInstance, registered.c_str(), &found));

  const char* title = "Lautst\xC3\xA4rke";  // "Lautstärke"
  HWND window = uCreateWindowEx(0, MAKEINTATOM(atom), title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, description.hInstance, nullptr);
  ASSERT_NE(nullptr, window);
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  EXPECT_EQ(wide() ? wide_of(title) : through_code_page(title), text);

  // The user data holds a whole pointer, on either build.
  const auto pointer = reinterpret_cast<LONG_PTR>(&description);
  EXPECT_EQ(0, uSetWindowLong(window, GWLP_USERDATA, pointer));
  EXPECT_EQ(pointer, uGetWindowLong(window, GWLP_USERDATA));

  DestroyWindow(window);
  EXPECT_TRUE(uUnregisterClass(MAKEINTATOM(atom), description.hInstance));
  EXPECT_FALSE(GetClassInfoExW(description.hInstance, registered.c_str(), &found));
}

TEST_P(Utf8Api, TextMessagesArriveConverted) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 100, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, combo);
  const char* entry = "Caf\xC3\xA9 mixer";
  EXPECT_EQ(0, uSendMessageText(combo, CB_ADDSTRING, 0, entry));
  EXPECT_EQ(1, uSendMessageText(combo, CB_ADDSTRING, 0, ""));
  wchar_t text[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(wide() ? wide_of(entry) : through_code_page(entry), text);
  EXPECT_EQ(2, uSendMessage(combo, CB_GETCOUNT, 0, 0));
  DestroyWindow(combo);
}

TEST_P(Utf8Api, WindowProceduresAreReachedThroughTheWrappers) {
  HWND window = CreateWindowExW(0, L"STATIC", L"static text", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(11, uDefWindowProc(window, WM_GETTEXTLENGTH, 0, 0));
  auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  EXPECT_EQ(11, uCallWindowProc(procedure, window, WM_GETTEXTLENGTH, 0, 0));

  HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_ID, 77);
  SetParent(window, dialog);
  SetWindowLongW(window, GWL_STYLE, WS_CHILD);
  EXPECT_EQ(11, uSendDlgItemMessage(dialog, 77, WM_GETTEXTLENGTH, 0, 0));
  DestroyWindow(dialog);
}

TEST_P(Utf8Api, ModulesAndCursorsAreFound) {
  LoadLibraryW(L"winmm.dll");
  EXPECT_EQ(GetModuleHandleW(L"winmm.dll"), uGetModuleHandle("WINMM"));
  EXPECT_EQ(GetModuleHandleW(nullptr), uGetModuleHandle(nullptr));
  EXPECT_EQ(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
            uLoadCursor(nullptr, reinterpret_cast<const char*>(IDC_ARROW)));
}

void printf_into(standin::HostStringObject* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  uPrintfV(out, format, args);
  va_end(args);
}

TEST_P(Utf8Api, PrintfStoresTheTextThroughTheStringObject) {
  standin::HostStringObject out;
  out.text = "old";
  printf_into(&out, "%s failed - %u, %d, %02d%%", "mixerOpen", 4000000000u, -5, 7);
  EXPECT_EQ("mixerOpen failed - 4000000000, -5, 07%", out.text);

  const std::string long_text(3000, 'x');
  printf_into(&out, "<%s>", long_text.c_str());
  EXPECT_EQ("<" + long_text + ">", out.text);
}

int __cdecl record_box(void* context, HWND owner, const char* text, const char* caption,
                       UINT flags) {
  *static_cast<std::string*>(context) =
      std::string(text) + "|" + caption + "|" + std::to_string(flags) + (owner ? "|owned" : "");
  return IDCANCEL;
}

TEST_P(Utf8Api, MessageBoxesGoToTheInstalledHook) {
  std::string seen;
  utf8api_set_message_box_hook(&record_box, &seen);
  EXPECT_EQ(IDCANCEL, uMessageBox(nullptr, "warning: A\nerror: B", "DWX Volume notices", 0));
  utf8api_set_message_box_hook(nullptr, nullptr);
  EXPECT_EQ("warning: A\nerror: B|DWX Volume notices|0", seen);
}

// A heap with no room for a large block; small ones are still given.
constexpr size_t largest_block = 64 * 1024;
using MallocFn = void*(__cdecl*)(size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
MallocFn real_malloc = nullptr;
ReallocFn real_realloc = nullptr;
void* __cdecl small_malloc(size_t size) {
  return size > largest_block ? nullptr : real_malloc(size);
}
void* __cdecl small_realloc(void* block, size_t size) {
  return size > largest_block ? nullptr : real_realloc(block, size);
}

// A text too large for the heap fails the call with ERROR_NOT_ENOUGH_MEMORY,
// and nothing but that result, a C++ exception least of all, comes back
// across the DLL's C exports.
TEST_P(Utf8Api, ATextTooLargeForTheHeapFailsTheCall) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 100, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, combo);
  const std::string huge(largest_block, 'x');
  WNDCLASSA description = {};
  description.lpfnWndProc = plain_procedure;
  description.hInstance = GetModuleHandleW(nullptr);
  description.lpszClassName = huge.c_str();
  standin::HostStringObject out;
  const struct {
    const char* call;
    std::function<bool()> failed;
  } calls[] = {
      {"uCreateWindowEx",
       [&] {
         return uCreateWindowEx(0, "STATIC", huge.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                description.hInstance, nullptr) == nullptr;
       }},
      {"uRegisterClass", [&] { return uRegisterClass(&description) == 0; }},
      {"uUnregisterClass", [&] { return !uUnregisterClass(huge.c_str(), nullptr); }},
      {"uSendMessageText",
       [&] {
         uSendMessageText(combo, CB_ADDSTRING, 0, huge.c_str());
         return SendMessageW(combo, CB_GETCOUNT, 0, 0) == 0;
       }},
      {"uLoadCursor", [&] { return uLoadCursor(nullptr, huge.c_str()) == nullptr; }},
      {"uGetModuleHandle", [&] { return uGetModuleHandle(huge.c_str()) == nullptr; }},
      {"uPrintfV",
       [&] {
         out.text = "old";
         printf_into(&out, "<%s>", huge.c_str());
         return out.text.empty();
       }},
  };
  const HMODULE utf8api = GetModuleHandleW(L"utf8api.dll");
  testing_support::ImportPatch malloc_patch(utf8api, "msvcrt.dll", "malloc",
                                            reinterpret_cast<const void*>(&small_malloc));
  testing_support::ImportPatch realloc_patch(utf8api, "msvcrt.dll", "realloc",
                                             reinterpret_cast<const void*>(&small_realloc));
  ASSERT_TRUE(malloc_patch.applied() && realloc_patch.applied());
  real_malloc = malloc_patch.original<MallocFn>();
  real_realloc = realloc_patch.original<ReallocFn>();
  for (const auto& c : calls) {
    SetLastError(0);
    EXPECT_TRUE(c.failed()) << c.call;
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError()) << c.call;
  }
  DestroyWindow(combo);
}

INSTANTIATE_TEST_SUITE_P(BothForms, Utf8Api, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Wide" : "Ansi";
                         });

}  // namespace
