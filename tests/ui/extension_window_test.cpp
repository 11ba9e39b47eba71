// The extension-window objects as the layout framework sees them: factories,
// constant answers, reference counts, and their host window's creation,
// transfer between hosts and destruction, with its class registration.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <string>

#include "support/import_table.h"
#include "support/system_texts.h"
#include "ui/slider_fixture.h"

namespace {

using standin::ExtensionWindowView;
using standin::HostStringObject;
using testing_support::system_text;
namespace ew = standin::extension_window;

// What each slider object must answer, written out here rather than taken
// from the component's headers.
struct ExpectedSlider {
  unsigned type;
  const GUID* extension_guid;
  const char* name;
  const char* category;
  const wchar_t* class_name;
  DWORD trackbar_style;
};
const ExpectedSlider expected_toolbar = {ew::type_toolbar,   &standin::guids::toolbar_extension,
                                         "Volume control",   "Toolbars",
                                         toolbar_class_name, 0x50000018};
const ExpectedSlider expected_panel = {ew::type_panel,
                                       &standin::guids::panel_extension,
                                       "Volume control (vertical)",
                                       "Panels",
                                       panel_class_name,
                                       0x5000001A};

#ifndef _WIN64
// How many bytes an operation popped when called with `words` zero words:
// the framework's compiler pushes the arguments, and the callee must pop
// exactly them or the caller's stack is off from then on.
unsigned popped_bytes(const void* object, unsigned slot, unsigned words) {
  const void* operation = (*static_cast<const void* const* const*>(object))[slot];
  unsigned count = words;
  const void* self = object;
  unsigned moved;
  asm volatile(
      "mov %%esp, %%esi\n\t"
      "test %%eax, %%eax\n\t"
      "jz 2f\n"
      "1:\n\t"
      "pushl $0\n\t"
      "dec %%eax\n\t"
      "jnz 1b\n"
      "2:\n\t"
      "call *%%edi\n\t"
      "mov %%esp, %%eax\n\t"
      "sub %%esi, %%eax\n\t"
      "mov %%esi, %%esp\n\t"
      : "=a"(moved), "+c"(self)
      : "a"(count), "D"(operation)
      : "edx", "esi", "memory", "cc");
  return moved + 4 * words;
}
#endif

// Counts the component's class registrations, passing each on.
struct Registrations {
  static int registered;
  static int unregistered;
  static bool fail_next;
  static ATOM __cdecl register_class(const WNDCLASSA* description) {
    ++registered;
    if (fail_next) {
      fail_next = false;
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    return original_register(description);
  }
  static BOOL __cdecl unregister_class(const char* name, HINSTANCE instance) {
    ++unregistered;
    return original_unregister(name, instance);
  }
  static ATOM(__cdecl* original_register)(const WNDCLASSA*);
  static BOOL(__cdecl* original_unregister)(const char*, HINSTANCE);
};
int Registrations::registered = 0;
int Registrations::unregistered = 0;
bool Registrations::fail_next = false;
ATOM(__cdecl* Registrations::original_register)(const WNDCLASSA*) = nullptr;
BOOL(__cdecl* Registrations::original_unregister)(const char*, HINSTANCE) = nullptr;

class ExtensionWindowTest : public SliderTest,
                            public ::testing::WithParamInterface<const ExpectedSlider*> {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    if (HasFatalFailure()) return;
    auto& register_patch = patch("utf8api.dll", "uRegisterClass",
                                 reinterpret_cast<const void*>(&Registrations::register_class));
    auto& unregister_patch = patch("utf8api.dll", "uUnregisterClass",
                                   reinterpret_cast<const void*>(&Registrations::unregister_class));
    ASSERT_TRUE(register_patch.applied() && unregister_patch.applied());
    Registrations::original_register = register_patch.original<ATOM(__cdecl*)(const WNDCLASSA*)>();
    Registrations::original_unregister =
        unregister_patch.original<BOOL(__cdecl*)(const char*, HINSTANCE)>();
    Registrations::registered = Registrations::unregistered = 0;
    Registrations::fail_next = false;
  }
  const ExpectedSlider& expected() const { return *GetParam(); }
  ExtensionWindowView object(bool owned = true) {
    return new_window_object(expected().type, owned);
  }
  bool registered() const { return class_registered(component.module(), expected().class_name); }
};

TEST_P(ExtensionWindowTest, EachCreateBuildsANewObjectWithOneReference) {
  ExtensionWindowView first = object(false);
  ExtensionWindowView second = object(false);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.object(), second.object());
  EXPECT_EQ(2, first.add_ref());
  EXPECT_EQ(1, first.release());
  EXPECT_EQ(0, first.release());
  EXPECT_EQ(0, second.release());
}

TEST_P(ExtensionWindowTest, DescribesItselfToTheLayout) {
  ExtensionWindowView window = object();
  EXPECT_TRUE(IsEqualGUID(*expected().extension_guid, *window.extension_guid()));
  HostStringObject out;
  const char* returned = window.name(out);
  EXPECT_EQ(expected().name, out.text);
  EXPECT_EQ(out.text.c_str(), returned) << "the string's own text comes back";
  returned = window.category(out);
  EXPECT_EQ(expected().category, out.text);
  EXPECT_EQ(out.text.c_str(), returned);
  EXPECT_TRUE(window.short_name(out));
  EXPECT_EQ("Volume", out.text);
  EXPECT_EQ(expected().type, window.type());

  // The framework's own operations get their constants, whatever the arguments.
  EXPECT_FALSE(window.slot7(0x12345678));
  EXPECT_FALSE(window.slot9());
  EXPECT_TRUE(window.slot10(7));
  window.slot12(3);
  window.slot14(1, 2, 3, 4, 5, 6);
  window.slot15(1, 2, 3, 4);
  EXPECT_FALSE(window.slot16(1, 2, 3, 4, 5));
  EXPECT_EQ(nullptr, window.window());
  EXPECT_EQ(0, layout.foreign_calls);
}

TEST_P(ExtensionWindowTest, EachOperationPopsExactlyTheWordsTheFrameworkPushes) {
#ifdef _WIN64
  GTEST_SKIP() << "32-bit only: x86-64 has one calling convention, and its caller pops";
#else
  ExtensionWindowView window = object();
  const struct {
    unsigned slot;
    unsigned words;
  } operations[] = {{ew::query, 1},      {ew::get_extension_guid, 0},
                    {ew::slot7, 1},      {ew::get_type, 0},
                    {ew::slot9, 0},      {ew::slot10, 1},
                    {ew::slot12, 1},     {ew::slot14, 6},
                    {ew::slot15, 4},     {ew::slot16, 5},
                    {ew::get_window, 0}, {ew::destroy_window, 0}};
  for (const auto& operation : operations) {
    EXPECT_EQ(4 * operation.words, popped_bytes(window.object(), operation.slot, operation.words))
        << "slot " << operation.slot;
  }
#endif
}

TEST_P(ExtensionWindowTest, QueryAnswersTheExtensionWindowClassOnly) {
  ExtensionWindowView window = object();
  EXPECT_EQ(window.object(), window.query(standin::guids::extension_window));
  EXPECT_EQ(3, window.add_ref()) << "the query added one";
  window.release();
  EXPECT_EQ(nullptr, window.query(standin::guids::play_callback));
  EXPECT_EQ(nullptr, window.query(*expected().extension_guid));
  EXPECT_EQ(3, window.add_ref()) << "a refused query adds nothing";
  window.release();
  window.release();
}

TEST_P(ExtensionWindowTest, CreatesAHiddenChildHoldingATrackbarOverTheWholeScale) {
  ExtensionWindowView window = object();
  const HWND created = window.create_or_transfer(container, &layout);
  ASSERT_NE(nullptr, created);
  EXPECT_EQ(created, window.window());
  wchar_t text[64] = {};
  GetClassNameW(created, text, 64);
  EXPECT_STREQ(expected().class_name, text);
  GetWindowTextW(created, text, 64);
  EXPECT_STREQ(L"Volume", text);
  EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_CLIPCHILDREN), GetWindowLongW(created, GWL_STYLE));
  EXPECT_EQ(0, GetWindowLongW(created, GWL_EXSTYLE));
  EXPECT_EQ(container, GetParent(created));
  RECT rect;
  GetWindowRect(created, &rect);
  EXPECT_TRUE(IsRectEmpty(&rect));
  EXPECT_EQ(component.module(),
            reinterpret_cast<HMODULE>(GetWindowLongPtrW(created, GWLP_HINSTANCE)));

  const HWND trackbar = trackbar_in(created);
  ASSERT_NE(nullptr, trackbar);
  EXPECT_EQ(static_cast<LONG>(expected().trackbar_style), GetWindowLongW(trackbar, GWL_STYLE));
  EXPECT_EQ(0, SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0));
  EXPECT_EQ(1000, SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0));
  EXPECT_EQ(1, Registrations::registered);
  EXPECT_TRUE(layout.detached.empty());
}

TEST_P(ExtensionWindowTest, ASecondCreateMovesTheSameWindowAndTellsThePreviousHost) {
  ExtensionWindowView window = object();
  const HWND created = place(window, RECT{20, 20, 320, 200});
  ASSERT_NE(nullptr, created);
  const HWND trackbar = trackbar_in(created);
  RECT before;
  GetWindowRect(created, &before);

  const HWND elsewhere = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 250, 600, 240,
                                         container, nullptr, nullptr, nullptr);
  standin::ExtensionHostObject second_host;
  EXPECT_EQ(created, window.create_or_transfer(elsewhere, &second_host));
  EXPECT_EQ(elsewhere, GetParent(created));
  ASSERT_EQ(1u, layout.detached.size());
  EXPECT_EQ(created, layout.detached[0]);
  EXPECT_TRUE(second_host.detached.empty());
  EXPECT_EQ(1, Registrations::registered) << "no new window, no new class reference";
  EXPECT_EQ(trackbar, trackbar_in(created)) << "the contents move along";
  RECT after;
  GetClientRect(created, &after);
  EXPECT_EQ(before.right - before.left, after.right);
  EXPECT_EQ(before.bottom - before.top, after.bottom);

  // The new host was kept: the next move lets go of it, not of the first.
  standin::ExtensionHostObject third_host;
  EXPECT_EQ(created, window.create_or_transfer(container, &third_host));
  ASSERT_EQ(1u, second_host.detached.size());
  EXPECT_EQ(1u, layout.detached.size());
  EXPECT_EQ(0, layout.foreign_calls + second_host.foreign_calls + third_host.foreign_calls);

  // Still registered: a volume change elsewhere still reaches the slider.
  set_host_level(500);
  const int shown = trackbar_pos(trackbar);
  EXPECT_EQ(500, expected().type == ew::type_panel ? 1000 - shown : shown);
  DestroyWindow(elsewhere);
}

TEST_P(ExtensionWindowTest, AWindowCreatedWithoutAHostMovesWithoutTellingAnyone) {
  ExtensionWindowView window = object();
  const HWND created = window.create_or_transfer(container, nullptr);
  ASSERT_NE(nullptr, created);
  EXPECT_EQ(created, window.create_or_transfer(container, &layout));
  EXPECT_TRUE(layout.detached.empty());
}

TEST_P(ExtensionWindowTest, DestroyingTwiceDestroysAndReleasesOnce) {
  ExtensionWindowView window = object();
  const HWND created = place(window, RECT{0, 0, 200, 200});
  const HWND trackbar = trackbar_in(created);
  window.destroy();
  EXPECT_FALSE(IsWindow(created));
  EXPECT_FALSE(IsWindow(trackbar));
  EXPECT_EQ(nullptr, window.window());
  EXPECT_EQ(1, Registrations::unregistered);
  window.destroy();
  EXPECT_EQ(1, Registrations::unregistered);
  EXPECT_FALSE(registered());
}

TEST_P(ExtensionWindowTest, TheLastReleaseDestroysAWindowStillHeld) {
  ExtensionWindowView window = object(false);
  const HWND created = place(window, RECT{0, 0, 200, 200});
  ASSERT_NE(nullptr, created);
  window.add_ref();
  EXPECT_EQ(1, window.release());
  EXPECT_TRUE(IsWindow(created));
  EXPECT_EQ(0, window.release());
  EXPECT_FALSE(IsWindow(created));
  EXPECT_FALSE(registered());
  // Gone from the registry too: a broadcast reaches no window of it.
  calls->clear();
  set_host_level(300);
  EXPECT_FALSE(calls->touched(created));
}

TEST_P(ExtensionWindowTest, AFailedRegistrationIsReportedAndTheNextCreateTriesAgain) {
  ExtensionWindowView window = object();
  Registrations::fail_next = true;
  EXPECT_EQ(nullptr, window.create_or_transfer(container, &layout));
  EXPECT_EQ(nullptr, window.window());
  const std::vector<std::string> expected = {"3|dwx_volume|Failed to register window class - " +
                                             system_text(ERROR_NOT_ENOUGH_MEMORY)};
  EXPECT_EQ(expected, console());
  EXPECT_NE(nullptr, window.create_or_transfer(container, &layout));
  EXPECT_TRUE(registered());
}

TEST_P(ExtensionWindowTest, AFailedCreationIsReportedAndGivesTheClassBack) {
  ExtensionWindowView window = object();
  // A child window needs a parent: the system refuses with its own reason.
  EXPECT_EQ(nullptr, window.create_or_transfer(nullptr, &layout));
  EXPECT_EQ(nullptr, window.window());
  const std::vector<std::string> expected = {"3|dwx_volume|Failed to create window - " +
                                             system_text(ERROR_TLW_WITH_WSCHILD)};
  EXPECT_EQ(expected, console());
  EXPECT_FALSE(system_text(ERROR_TLW_WITH_WSCHILD).empty());
  EXPECT_FALSE(registered());
  EXPECT_EQ(1, Registrations::unregistered);
}

// The component's heap, refusing the next requests once armed.
struct Heap {
  static std::atomic<int> refusals;
  static bool refuse() {
    int left = refusals.load();
    while (left > 0 && !refusals.compare_exchange_weak(left, left - 1)) {
    }
    return left > 0;
  }
  static void* __cdecl malloc(size_t size) { return refuse() ? nullptr : original_malloc(size); }
  static void* __cdecl realloc(void* block, size_t size) {
    return refuse() ? nullptr : original_realloc(block, size);
  }
  static void*(__cdecl* original_malloc)(size_t);
  static void*(__cdecl* original_realloc)(void*, size_t);
};
std::atomic<int> Heap::refusals{0};
void*(__cdecl* Heap::original_malloc)(size_t) = nullptr;
void*(__cdecl* Heap::original_realloc)(void*, size_t) = nullptr;

// A slider's registration is the one thing its creation asks the heap for:
// while the heap refuses, the first few still follow every volume change,
// and one past them is reported.
TEST_P(ExtensionWindowTest, WindowsTheSliderListHasNoRoomForStillFollowOrAreReported) {
  Heap::original_malloc =
      patch("msvcrt.dll", "malloc", reinterpret_cast<const void*>(&Heap::malloc))
          .original<void*(__cdecl*)(size_t)>();
  Heap::original_realloc =
      patch("msvcrt.dll", "realloc", reinterpret_cast<const void*>(&Heap::realloc))
          .original<void*(__cdecl*)(void*, size_t)>();
  constexpr int windows = 5;
  ExtensionWindowView objects[windows];
  HWND trackbars[windows];
  for (int i = 0; i < windows; ++i) {
    objects[i] = object();
    Heap::refusals = 1;
    const HWND created = place(objects[i], RECT{40 * i, 0, 40 * i + 30, 200});
    EXPECT_EQ(0, Heap::refusals) << "the heap was asked for window " << i;
    trackbars[i] = trackbar_in(created);
    ASSERT_NE(nullptr, trackbars[i]) << "the window is there all the same";
  }
  set_host_level(300);
  for (int i = 0; i < windows; ++i) {
    const int shown = trackbar_pos(trackbars[i]);
    const int level = expected().type == ew::type_panel ? 1000 - shown : shown;
    EXPECT_EQ(i < windows - 1, level == 300) << "window " << i;
  }
  const std::vector<std::string> expected = {
      "2|dwx_volume|Volume slider will not follow volume changes - " +
      system_text(ERROR_NOT_ENOUGH_MEMORY)};
  EXPECT_EQ(expected, console());
}

INSTANTIATE_TEST_SUITE_P(Both, ExtensionWindowTest,
                         ::testing::Values(&expected_toolbar, &expected_panel),
                         [](const ::testing::TestParamInfo<const ExpectedSlider*>& info) {
                           return info.param->type == ew::type_toolbar ? "Toolbar" : "Panel";
                         });

TEST_F(SliderTest, TheTwoFactoriesLeadTheServiceListPanelFirst) {
  const std::vector<const standin::FactoryNode*> nodes = component.service_list();
  ASSERT_GE(nodes.size(), 2u);
  const unsigned expected_types[] = {ew::type_panel, ew::type_toolbar};
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(IsEqualGUID(standin::guids::extension_window, nodes[i]->class_guid));
    ExtensionWindowView window(standin::call_slot<void*>(nodes[i], 0));
    ASSERT_TRUE(window);
    EXPECT_EQ(expected_types[i], window.type());
    window.release();
  }
}

}  // namespace
