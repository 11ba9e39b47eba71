// The import-table replacements behind ComponentCalls.
#include "ui/component_calls.h"

namespace {

ComponentCalls* active = nullptr;

using SendMessageFunction = LRESULT(__cdecl*)(HWND, UINT, WPARAM, LPARAM);
using CallWindowProcFunction = LRESULT(__cdecl*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);
using DestroyWindowFunction = BOOL(WINAPI*)(HWND);
using SendNotifyMessageFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

SendMessageFunction original_send = nullptr;
CallWindowProcFunction original_call = nullptr;
DestroyWindowFunction original_destroy = nullptr;
SendNotifyMessageFunction original_notify = nullptr;
DWORD test_thread = 0;

}  // namespace

struct ComponentCallReplacements {
  static LRESULT __cdecl send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const ComponentCalls::Call call{window, message, wparam, lparam};
    active->sends.push_back(call);
    LRESULT result = 0;
    if (active->answer && active->answer(call, &result)) return result;
    return original_send(window, message, wparam, lparam);
  }
  static LRESULT __cdecl call(WNDPROC previous, HWND window, UINT message, WPARAM wparam,
                              LPARAM lparam) {
    active->passes.push_back({window, message, wparam, lparam});
    return original_call(previous, window, message, wparam, lparam);
  }
  static BOOL WINAPI destroy(HWND window) {
    active->destroyed.push_back(window);
    return original_destroy(window);
  }
  static BOOL WINAPI notify(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (GetCurrentThreadId() == test_thread)
      active->notified.push_back({window, message, wparam, lparam});
    return original_notify(window, message, wparam, lparam);
  }
};

ComponentCalls::ComponentCalls(HMODULE component) {
  active = this;
  using testing_support::ImportPatch;
  patches_.push_back(std::make_unique<ImportPatch>(
      component, "utf8api.dll", "uSendMessage",
      reinterpret_cast<const void*>(&ComponentCallReplacements::send)));
  original_send = patches_.back()->original<SendMessageFunction>();
  patches_.push_back(std::make_unique<ImportPatch>(
      component, "utf8api.dll", "uCallWindowProc",
      reinterpret_cast<const void*>(&ComponentCallReplacements::call)));
  original_call = patches_.back()->original<CallWindowProcFunction>();
  patches_.push_back(std::make_unique<ImportPatch>(
      component, "user32.dll", "DestroyWindow",
      reinterpret_cast<const void*>(&ComponentCallReplacements::destroy)));
  original_destroy = patches_.back()->original<DestroyWindowFunction>();
  test_thread = GetCurrentThreadId();
  patches_.push_back(std::make_unique<ImportPatch>(
      component, "user32.dll", "SendNotifyMessageW",
      reinterpret_cast<const void*>(&ComponentCallReplacements::notify)));
  original_notify = patches_.back()->original<SendNotifyMessageFunction>();
}

ComponentCalls::~ComponentCalls() {
  patches_.clear();
  active = nullptr;
}

bool ComponentCalls::applied() const {
  for (const auto& patch : patches_) {
    if (!patch->applied()) return false;
  }
  return !patches_.empty();
}

void ComponentCalls::clear() {
  sends.clear();
  passes.clear();
  destroyed.clear();
  notified.clear();
}

testing_support::MessageSequence ComponentCalls::sent_to(HWND window) const {
  testing_support::MessageSequence sequence;
  for (const Call& call : sends) {
    if (call.window == window) sequence.add(call.message, call.wparam, call.lparam);
  }
  return sequence;
}

testing_support::MessageSequence ComponentCalls::passed_on(HWND window) const {
  testing_support::MessageSequence sequence;
  for (const Call& call : passes) {
    if (call.window == window) sequence.add(call.message, call.wparam, call.lparam);
  }
  return sequence;
}

bool ComponentCalls::touched(HWND window) const {
  for (const std::vector<Call>* calls : {&sends, &notified}) {
    for (const Call& call : *calls) {
      if (call.window == window) return true;
    }
  }
  for (HWND destroyed_window : destroyed) {
    if (destroyed_window == window) return true;
  }
  return false;
}
