// The sliders as a screen reader meets them: AccessibleObjectFromWindow on
// each trackbar, a WinEvent for every change of its level, and clients that
// hold on to an object after its window, or the library, has gone.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backend/volume_scale.h"
#include "standin_host/menu_items.h"
#include "standin_host/preferences.h"
#include "support/scripted_mixer.h"
#include "ui/slider_fixture.h"

namespace {

namespace ew = standin::extension_window;
using testing_support::ScriptedMixer;

// Defined here: MinGW's import libraries can resolve a GUID to a thunk
// rather than to its bytes.
const IID iid_iaccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const IID iid_idispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID iid_other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

constexpr DWORD speaker_control = 100;  // the scripted device's master volume

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
using Accessible = std::unique_ptr<IAccessible, Releaser>;

VARIANT child_id(LONG id = CHILDID_SELF) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The text, freed; "(null)" for none.
std::string taken(BSTR text) {
  if (text == nullptr) return "(null)";
  char utf8[256] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  SysFreeString(text);
  return utf8;
}

// A screen reader's way to the slider.
Accessible object_of(HWND window) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(window, OBJID_CLIENT, iid_iaccessible,
                             reinterpret_cast<void**>(&object));
  return Accessible(object);
}

// What a screen reader reads of an object.
struct Heard {
  std::string name;
  LONG role = 0;
  std::string value;
  LONG state = 0;
  RECT location = {};
};

Heard hear(IAccessible* object) {
  Heard heard;
  BSTR text = nullptr;
  EXPECT_EQ(S_OK, object->get_accName(child_id(), &text));
  heard.name = taken(text);
  text = nullptr;
  EXPECT_EQ(S_OK, object->get_accValue(child_id(), &text));
  heard.value = taken(text);
  VARIANT number;
  EXPECT_EQ(S_OK, object->get_accRole(child_id(), &number));
  heard.role = number.vt == VT_I4 ? number.lVal : -1;
  EXPECT_EQ(S_OK, object->get_accState(child_id(), &number));
  heard.state = number.vt == VT_I4 ? number.lVal : -1;
  LONG left = 0, top = 0, width = 0, height = 0;
  EXPECT_EQ(S_OK, object->accLocation(&left, &top, &width, &height, child_id()));
  heard.location = RECT{left, top, left + width, top + height};
  return heard;
}

// Each level change a trackbar announced, with the value a screen reader
// read of the object the event names when it arrived.
struct Announcement {
  HWND window;
  LONG object;
  LONG child;
  std::string value;
};
std::vector<Announcement> announcements;

void CALLBACK record_announcement(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                  DWORD) {
  IAccessible* found = nullptr;
  VARIANT id;
  VariantInit(&id);
  std::string value = "(no object)";
  if (SUCCEEDED(AccessibleObjectFromEvent(window, object, child, &found, &id))) {
    BSTR text = nullptr;
    value = SUCCEEDED(found->get_accValue(id, &text)) ? taken(text) : "(no value)";
    found->Release();
  }
  announcements.push_back({window, object, child, value});
}

// Once a client has held an accessible object, the component keeps itself
// loaded until the process ends: each test loads a copy of its own, and
// leaves the library the other tests load alone.
std::wstring private_copy() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name;
  for (const char* part : {test->test_suite_name(), ".", test->name()}) {
    for (; *part != '\0'; ++part)
      name += std::iswalnum(static_cast<wint_t>(*part)) ? static_cast<wchar_t>(*part) : L'_';
  }
  wchar_t folder[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, folder, MAX_PATH);
  *wcsrchr(folder, L'\\') = L'\0';
  wchar_t temporary[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temporary);
  // A test run again in the same process gets another name: the copy it
  // loaded before is still there.
  static int copies = 0;
  const std::wstring copy =
      std::wstring(temporary) + L"dwx_volume_" + name + L"_" + std::to_wstring(++copies) + L".dll";
  CopyFileW((std::wstring(folder) + L"\\dwx_volume.dll").c_str(), copy.c_str(), FALSE);
  return copy;
}

// Both sliders placed (the toolbar as ToolbarTest places it), COM
// initialised on the test's thread as a client initialises it, and a
// WinEvent hook taking down every level change announced in the process.
class AccessibilityTest : public ToolbarTest {
 protected:
  std::wstring library_path() override { return private_copy(); }

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ToolbarTest::SetUp();
    if (HasFatalFailure()) return;
    panel = new_window_object(ew::type_panel);
    panel_window = place(panel, RECT{1150, 10, 1180, 480});
    ASSERT_NE(nullptr, panel_window);
    panel_trackbar = trackbar_in(panel_window);
    ASSERT_NE(nullptr, panel_trackbar);
    hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                           &record_announcement, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    testing_support::flush_events();
    announcements.clear();
  }
  void TearDown() override {
    if (hook != nullptr) UnhookWinEvent(hook);
    ToolbarTest::TearDown();
    CoUninitialize();
  }
  void before_unload() override { mixer.reset(); }

  HWND trackbar_of(unsigned type) const {
    return type == ew::type_toolbar ? trackbar : panel_trackbar;
  }
  // The level a slider shows: the panel's trackbar is turned over.
  int level_shown(unsigned type) const {
    const int position = trackbar_pos(trackbar_of(type));
    return type == ew::type_toolbar ? position : 1000 - position;
  }
  // The text the toolbar's tooltip would show for the level.
  std::string text_of(int level) const {
    char text[32];
    if (mixer == nullptr || mixer->handle_of(0) == nullptr) {
      const int hdb = dwx::level_to_hdb(level);
      snprintf(text, sizeof text, "%s%d.%02d dB", hdb < 0 ? "-" : "", std::abs(hdb) / 100,
               std::abs(hdb) % 100);
    } else {
      snprintf(text, sizeof text, "%d.%d%%", level / 10, level % 10);
    }
    return text;
  }
  // The announcements of one trackbar since the last clear.
  std::vector<Announcement> announced_by(HWND window) const {
    std::vector<Announcement> found;
    for (const Announcement& announcement : announcements) {
      if (announcement.window == window) found.push_back(announcement);
    }
    return found;
  }

 public:
  // The ways a level changes. A drag and a key act on the slider of that
  // type; the others change the volume for both.
  void drag(unsigned type) {
    if (type == ew::type_toolbar) {
      press(x_for(600));
      move(x_for(400));
      release(x_for(400));
      return;
    }
    // The trackbar's own thumb drag, 60 pixels down.
    const RECT thumb = thumb_rect(panel_trackbar);
    const int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
    SendMessageW(panel_trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(panel_trackbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + 60));
    SendMessageW(panel_trackbar, WM_LBUTTONUP, 0, MAKELPARAM(x, y + 60));
  }
  void key(unsigned type) { SendMessageW(trackbar_of(type), WM_KEYDOWN, VK_PRIOR, 0x00490001); }
  void command(unsigned) {
    standin::MenuItems menu(component.create_service(standin::guids::menu_item));
    menu.perform(1);  // Volume down
  }
  void host_change(unsigned) { set_host_level(250); }
  // The sliders hear of it when their thread next takes its messages.
  void host_change_elsewhere(unsigned) {
    std::thread([this] { host.change_volume(dwx::level_to_hdb(600)); }).join();
  }
  // Another program changes the master volume of the mixer device chosen on
  // the preferences page; the system tells the component's callback window.
  void choose_mixer(unsigned) {
    mixer = std::make_unique<ScriptedMixer>(component.module());
    ASSERT_TRUE(mixer->applied());
    mixer->devices = {ScriptedMixer::device(L"Out: scripted")};
    mixer->set_value(speaker_control, 65535);
    standin::PreferencesPage page(component.create_service(standin::guids::preferences_page));
    standin::PreferencesWindow preferences;
    const HWND devices = GetDlgItem(preferences.open(page), 1000);
    SendMessageW(devices, CB_SETCURSEL, 1, 0);
    SendMessageW(GetParent(devices), WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(devices));
    ASSERT_NE(nullptr, mixer->handle_of(0));
  }
  void mixer_change(unsigned) {
    mixer->set_value(speaker_control, 19660);  // level 300
    SendMessageW(mixer->callback_window(), MM_MIXM_CONTROL_CHANGE,
                 reinterpret_cast<WPARAM>(mixer->handle_of(0)), speaker_control);
  }

 protected:
  standin::ExtensionWindowView panel;
  HWND panel_window = nullptr;
  HWND panel_trackbar = nullptr;
  HWINEVENTHOOK hook = nullptr;
  std::unique_ptr<ScriptedMixer> mixer;
};

// Every call a client can make besides IUnknown's, and what it answers while
// the slider's window is there.
struct Call {
  const char* what;
  std::function<HRESULT(IAccessible*)> make;
  HRESULT answer;
};

// Calls of one shape, their answer freed.
using TextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::function<HRESULT(IAccessible*)> text_call(TextCall call, LONG child = CHILDID_SELF) {
  return [=](IAccessible* object) {
    BSTR text = nullptr;
    const HRESULT result = (object->*call)(child_id(child), &text);
    SysFreeString(text);
    return result;
  };
}
using VariantCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
std::function<HRESULT(IAccessible*)> variant_call(VariantCall call) {
  return [=](IAccessible* object) {
    VARIANT out;
    VariantInit(&out);
    const HRESULT result = (object->*call)(child_id(), &out);
    VariantClear(&out);
    return result;
  };
}
HRESULT released(HRESULT result, IDispatch* object) {
  if (object != nullptr) object->Release();
  return result;
}

std::vector<Call> every_call(POINT inside) {
  using A = IAccessible;
  return {
      {"GetTypeInfoCount",
       [](A* a) {
         UINT count = 1;
         const HRESULT result = a->GetTypeInfoCount(&count);
         return result == S_OK && count != 0 ? E_FAIL : result;
       },
       S_OK},
      {"GetTypeInfo",
       [](A* a) {
         ITypeInfo* info = nullptr;
         return a->GetTypeInfo(0, 0, &info);
       },
       E_NOTIMPL},
      {"get_accParent",
       [](A* a) {
         IDispatch* parent = nullptr;
         return released(a->get_accParent(&parent), parent);
       },
       S_OK},
      {"get_accChildCount",
       [](A* a) {
         LONG count = 1;
         const HRESULT result = a->get_accChildCount(&count);
         return result == S_OK && count != 0 ? E_FAIL : result;
       },
       S_OK},
      {"get_accChild of child 1",
       [](A* a) {
         IDispatch* child = nullptr;
         return released(a->get_accChild(child_id(1), &child), child);
       },
       E_INVALIDARG},
      {"get_accName", text_call(&A::get_accName), S_OK},
      {"get_accName of child 1", text_call(&A::get_accName, 1), E_INVALIDARG},
      {"get_accValue", text_call(&A::get_accValue), S_OK},
      {"get_accDescription", text_call(&A::get_accDescription), DISP_E_MEMBERNOTFOUND},
      {"get_accRole", variant_call(&A::get_accRole), S_OK},
      {"get_accState", variant_call(&A::get_accState), S_OK},
      {"get_accHelp", text_call(&A::get_accHelp), DISP_E_MEMBERNOTFOUND},
      {"get_accHelpTopic",
       [](A* a) {
         BSTR file = nullptr;
         LONG topic = 0;
         const HRESULT result = a->get_accHelpTopic(&file, child_id(), &topic);
         SysFreeString(file);
         return result;
       },
       DISP_E_MEMBERNOTFOUND},
      {"get_accKeyboardShortcut", text_call(&A::get_accKeyboardShortcut), DISP_E_MEMBERNOTFOUND},
      {"get_accSelection",
       [](A* a) {
         VARIANT out;
         return a->get_accSelection(&out);
       },
       S_FALSE},
      {"get_accDefaultAction", text_call(&A::get_accDefaultAction), DISP_E_MEMBERNOTFOUND},
      {"accSelect", [](A* a) { return a->accSelect(SELFLAG_TAKEFOCUS, child_id()); },
       DISP_E_MEMBERNOTFOUND},
      {"accLocation",
       [](A* a) {
         LONG l, t, w, h;
         return a->accLocation(&l, &t, &w, &h, child_id());
       },
       S_OK},
      {"accNavigate to a first child",
       [](A* a) {
         VARIANT out;
         return a->accNavigate(NAVDIR_FIRSTCHILD, child_id(), &out);
       },
       S_FALSE},
      {"accHitTest inside",
       [=](A* a) {
         VARIANT out;
         const HRESULT result = a->accHitTest(inside.x, inside.y, &out);
         return result == S_OK && (out.vt != VT_I4 || out.lVal != CHILDID_SELF) ? E_FAIL : result;
       },
       S_OK},
      {"accDoDefaultAction", [](A* a) { return a->accDoDefaultAction(child_id()); },
       DISP_E_MEMBERNOTFOUND},
      {"put_accName", [](A* a) { return a->put_accName(child_id(), const_cast<BSTR>(L"Loud")); },
       E_NOTIMPL},
      {"put_accValue",
       [](A* a) { return a->put_accValue(child_id(), const_cast<BSTR>(L"0.00 dB")); },
       DISP_E_MEMBERNOTFOUND},
  };
}

// The window an object stands for, as a client asks it.
HWND window_of(IDispatch* object) {
  IAccessible* accessible = nullptr;
  if (FAILED(object->QueryInterface(iid_iaccessible, reinterpret_cast<void**>(&accessible)))) {
    return nullptr;
  }
  HWND window = nullptr;
  WindowFromAccessibleObject(accessible, &window);
  accessible->Release();
  return window;
}

POINT centre_on_screen(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The slider a drag or a key acts on; the other one follows.
class EachSliderTest : public AccessibilityTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  HWND subject() const { return trackbar_of(GetParam()); }
};

TEST_P(EachSliderTest, AnswersAsAVolumeSliderDoes) {
  const Accessible object = object_of(subject());
  ASSERT_TRUE(object) << "AccessibleObjectFromWindow";
  EXPECT_EQ(object.get(), object_of(subject()).get()) << "one object for the trackbar's life";
  for (const Call& call : every_call(centre_on_screen(subject())))
    EXPECT_EQ(call.answer, call.make(object.get())) << call.what;

  // Name, role, value and location: after every change, below.
  SetFocus(subject());
  EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED, hear(object.get()).state);
  VARIANT focus;
  EXPECT_EQ(S_OK, object->get_accFocus(&focus));
  EXPECT_TRUE(focus.vt == VT_I4 && focus.lVal == CHILDID_SELF);
  focus_elsewhere();
  EXPECT_EQ(S_FALSE, object->get_accFocus(&focus));
  EXPECT_EQ(VT_EMPTY, focus.vt);
  EnableWindow(subject(), FALSE);
  EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE, hear(object.get()).state);
  EnableWindow(subject(), TRUE);
  ShowWindow(subject(), SW_HIDE);
  EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE, hear(object.get()).state);
  ShowWindow(subject(), SW_SHOW);
  RECT location;
  GetWindowRect(subject(), &location);
  EXPECT_EQ(S_FALSE, object->accHitTest(location.right + 5, location.top, &focus));

  IDispatch* parent = nullptr;
  ASSERT_EQ(S_OK, object->get_accParent(&parent));
  EXPECT_EQ(subject(), window_of(parent)) << "the trackbar's window object";
  EXPECT_NE(static_cast<void*>(object.get()), static_cast<void*>(parent));
  parent->Release();

  void* other = &other;
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(iid_other, &other));
  EXPECT_EQ(nullptr, other);
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(S_OK, object->QueryInterface(iid_idispatch, reinterpret_cast<void**>(&dispatch)));
  EXPECT_EQ(static_cast<void*>(object.get()), static_cast<void*>(dispatch));
  dispatch->Release();
}

TEST_P(EachSliderTest, EveryWayTheLevelChangesIsHeardOnBothSliders) {
  using Change = void (AccessibilityTest::*)(unsigned);
  const struct {
    const char* what;
    Change prepare;  // not heard: only what `make` does is
    Change make;
  } changes[] = {
      {"a drag", nullptr, &AccessibilityTest::drag},
      {"a key", nullptr, &AccessibilityTest::key},
      {"a command", nullptr, &AccessibilityTest::command},
      {"a change of the host's volume", nullptr, &AccessibilityTest::host_change},
      {"a change of the host's volume on a thread of its own", nullptr,
       &AccessibilityTest::host_change_elsewhere},
      {"a change of the mixer's volume", &AccessibilityTest::choose_mixer,
       &AccessibilityTest::mixer_change},
  };
  const unsigned other = GetParam() == ew::type_toolbar ? ew::type_panel : ew::type_toolbar;
  for (const auto& change : changes) {
    SCOPED_TRACE(change.what);
    if (change.prepare != nullptr) (this->*change.prepare)(GetParam());
    if (HasFatalFailure()) return;
    testing_support::flush_events();
    announcements.clear();
    const int before = level_shown(GetParam());

    (this->*change.make)(GetParam());
    testing_support::flush_events();
    const int level = level_shown(GetParam());
    ASSERT_NE(before, level) << "the change changed nothing";
    EXPECT_EQ(level, level_shown(other)) << "both sliders show it";
    const std::string text = text_of(level);

    // Each trackbar announced it once, and what a screen reader read then
    // was already the new level.
    for (HWND trackbar : {trackbar_of(GetParam()), trackbar_of(other)}) {
      const std::vector<Announcement> heard = announced_by(trackbar);
      ASSERT_EQ(1u, heard.size()) << "trackbar " << trackbar;
      EXPECT_EQ(OBJID_CLIENT, heard[0].object);
      EXPECT_EQ(CHILDID_SELF, heard[0].child);
      EXPECT_EQ(text, heard[0].value);
    }

    RECT location;
    GetWindowRect(subject(), &location);
    const Heard heard = hear(object_of(subject()).get());
    EXPECT_EQ("Volume", heard.name);
    EXPECT_EQ(ROLE_SYSTEM_SLIDER, heard.role);
    EXPECT_EQ(text, heard.value) << "the level, not the trackbar's position";
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | (GetFocus() == subject() ? STATE_SYSTEM_FOCUSED : 0),
              heard.state);
    EXPECT_TRUE(EqualRect(&location, &heard.location));
  }
}

INSTANTIATE_TEST_SUITE_P(Sliders, EachSliderTest,
                         ::testing::Values(ew::type_toolbar, ew::type_panel),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                           return std::string(info.param == ew::type_toolbar ? "Toolbar" : "Panel");
                         });

TEST_F(AccessibilityTest, AClientHoldingAnObjectPastItsWindowGetsTheDisconnectedError) {
  const Accessible objects[] = {object_of(trackbar), object_of(panel_trackbar)};
  const POINT inside = centre_on_screen(trackbar);
  toolbar.destroy();
  panel.destroy();
  for (const Accessible& object : objects) {
    ASSERT_TRUE(object);
    for (const Call& call : every_call(inside))
      EXPECT_EQ(RPC_E_DISCONNECTED, call.make(object.get())) << call.what;
    IAccessible* again = nullptr;
    EXPECT_EQ(S_OK, object->QueryInterface(iid_iaccessible, reinterpret_cast<void**>(&again)))
        << "IUnknown's calls still answer";
    again->Release();
  }
}

// The host unloads the component while a client holds an object: the
// library stays, the object answers, and a host that loads the component
// again gets the same library back, which serves that host.
TEST_F(AccessibilityTest, AClientHoldingAnObjectKeepsTheLibraryForAHostThatLoadsItAgain) {
  const Accessible held = object_of(trackbar);
  ASSERT_TRUE(held);
  const HMODULE module = component.module();
  toolbar.destroy();
  player.unload();
  wchar_t name[MAX_PATH];
  EXPECT_NE(0u, GetModuleFileNameW(module, name, MAX_PATH)) << "the library is still there";
  BSTR value = nullptr;
  EXPECT_EQ(RPC_E_DISCONNECTED, held->get_accValue(child_id(), &value));
  EXPECT_EQ(nullptr, value);

  standin::Host other_host;
  other_host.change_volume(dwx::level_to_hdb(500));
  standin::LoadedComponent again(other_host);
  ASSERT_TRUE(again.load(name)) << again.error();
  EXPECT_EQ(module, again.module());
  again.start();
  standin::ExtensionWindowView slider(again.create_service(standin::guids::extension_window));
  ASSERT_TRUE(slider);
  const HWND window = slider.create_or_transfer(container, &layout);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ("-6.02 dB", hear(object_of(trackbar_in(window)).get()).value)
      << "the new host's volume";
  slider.release();
  again.stop();
}

}  // namespace
