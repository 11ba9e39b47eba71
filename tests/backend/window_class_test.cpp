// Window classes registered while they have users, and the dispatch of their messages.
#include <atomic>
#include <string>
#include <vector>

#include "backend/backend_fixture.h"
#include "frame/component_state.h"
#include "frame/window_class.h"
#include "support/import_table.h"

namespace {

std::atomic<int> registrations{0};
std::atomic<int> unregistrations{0};
using RegisterClassFn = ATOM(__cdecl*)(const WNDCLASSA*);
using UnregisterClassFn = BOOL(__cdecl*)(const char*, HINSTANCE);
RegisterClassFn real_register = nullptr;
UnregisterClassFn real_unregister = nullptr;
ATOM __cdecl counting_register(const WNDCLASSA* description) {
  ++registrations;
  return real_register(description);
}
bool refuse_unregistering = false;  // as the system refuses while a window uses the class
BOOL __cdecl counting_unregister(const char* name, HINSTANCE instance) {
  ++unregistrations;
  if (refuse_unregistering) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  return real_unregister(name, instance);
}

// An object whose windows' messages the dispatch hands over.
struct Owner {
  LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    received.push_back(message);
    return uDefWindowProc(window, message, wparam, lparam);
  }
  std::vector<UINT> received;
};

constexpr char test_class[] = "WindowClassTest-Owner";

bool registered(const char* name) {
  WNDCLASSEXA found = {sizeof found};
  return GetClassInfoExA(dwx::module_instance(), name, &found) != FALSE;
}

class WindowClassTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    registrations = 0;
    unregistrations = 0;
    refuse_unregistering = false;
    real_register = register_patch.original<RegisterClassFn>();
    real_unregister = unregister_patch.original<UnregisterClassFn>();
    ASSERT_TRUE(register_patch.applied() && unregister_patch.applied());
  }

  testing_support::ImportPatch register_patch{GetModuleHandleW(nullptr), "utf8api.dll",
                                              "uRegisterClass",
                                              reinterpret_cast<void*>(&counting_register)};
  testing_support::ImportPatch unregister_patch{GetModuleHandleW(nullptr), "utf8api.dll",
                                                "uUnregisterClass",
                                                reinterpret_cast<void*>(&counting_unregister)};
};

TEST_F(WindowClassTest, RegisteredByTheFirstUserAndGoneWithTheLast) {
  dwx::WindowClassRef ref(test_class, &dwx::object_dispatch<Owner, &Owner::handle>);
  const ATOM atom = ref.acquire();
  ASSERT_NE(0, atom);
  EXPECT_EQ(atom, ref.acquire()) << "the stored atom, without asking the system again";
  EXPECT_EQ(1, registrations.load());
  ref.release();
  EXPECT_TRUE(registered(test_class));
  ref.release();
  EXPECT_FALSE(registered(test_class));
  EXPECT_EQ(1, unregistrations.load());

  ASSERT_NE(0, ref.acquire()) << "registered anew";
  EXPECT_EQ(2, registrations.load());
  ref.release();
}

TEST_F(WindowClassTest, TheClassLooksAsTheComponentsWindowsNeedIt) {
  dwx::WindowClassRef ref(test_class, &dwx::object_dispatch<Owner, &Owner::handle>);
  ASSERT_NE(0, ref.acquire());
  WNDCLASSEXW found = {sizeof found};
  ASSERT_TRUE(GetClassInfoExW(dwx::module_instance(), L"WindowClassTest-Owner", &found));
  EXPECT_EQ(0u, found.style);
  EXPECT_EQ(0, found.cbClsExtra);
  EXPECT_EQ(0, found.cbWndExtra);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), found.hbrBackground);
  EXPECT_EQ(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)), found.hCursor);
  EXPECT_EQ(nullptr, found.hIcon);
  ref.release();
}

TEST_F(WindowClassTest, AFailedRegistrationLeavesNoUserAndIsTriedAgain) {
  // A class of the same name and module that cannot be unregistered: as left
  // behind by an earlier load of the library whose window another thread
  // still has.
  WNDCLASSA squatter = {};
  squatter.lpfnWndProc = DefWindowProcA;
  squatter.hInstance = dwx::module_instance();
  squatter.lpszClassName = test_class;
  ASSERT_NE(0, RegisterClassA(&squatter));
  refuse_unregistering = true;

  dwx::WindowClassRef ref(test_class, &dwx::object_dispatch<Owner, &Owner::handle>);
  EXPECT_EQ(0, ref.acquire());
  EXPECT_EQ(static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS), GetLastError())
      << "the caller can still report why";
  EXPECT_EQ(0, ref.acquire()) << "the count went back to 0, so this one tries again";
  EXPECT_EQ(2, registrations.load());
  // Once it can go, the stale registration is replaced.
  refuse_unregistering = false;

  ASSERT_NE(0, ref.acquire());
  ref.release();
  EXPECT_FALSE(registered(test_class));
}

TEST_F(WindowClassTest, AtUnloadAClassStillInUseIsUnregisteredAndAnUnusedOneLeftAlone) {
  {
    dwx::WindowClassRef in_use(test_class, &dwx::object_dispatch<Owner, &Owner::handle>);
    ASSERT_NE(0, in_use.acquire());
  }
  EXPECT_FALSE(registered(test_class));
  EXPECT_EQ(1, unregistrations.load());
  { dwx::WindowClassRef unused(test_class, &dwx::object_dispatch<Owner, &Owner::handle>); }
  EXPECT_EQ(1, unregistrations.load());
}

TEST_F(WindowClassTest, MessagesReachTheObjectFromNonClientCreationOn) {
  dwx::WindowClassRef ref(test_class, &dwx::object_dispatch<Owner, &Owner::handle>);
  const ATOM atom = ref.acquire();
  Owner owner;
  // An overlapped window is asked for its size limits before WM_NCCREATE.
  HWND window = uCreateWindowEx(0, MAKEINTATOM(atom), "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                                nullptr, nullptr, dwx::module_instance(), &owner);
  ASSERT_NE(nullptr, window);
  ASSERT_FALSE(owner.received.empty());
  EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), owner.received.front());
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(&owner), uGetWindowLong(window, GWLP_USERDATA));
  SendMessageW(window, WM_USER + 5, 0, 0);
  EXPECT_EQ(static_cast<UINT>(WM_USER + 5), owner.received.back());

  Owner none_yet;
  HWND orphan = uCreateWindowEx(0, MAKEINTATOM(atom), "t", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                dwx::module_instance(), nullptr);
  ASSERT_NE(nullptr, orphan) << "without an object every message gets the default handling";
  DestroyWindow(orphan);
  DestroyWindow(window);
  EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), owner.received.back());
  ref.release();
}

}  // namespace
