// The injector's stand-ins: each counts its call by where it came from, and
// either fails the way the real function fails or passes the call on.
#include "support/fault_injector.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>

#include "utf8api.h"

namespace testing_support {

namespace {

FaultInjector* active = nullptr;

struct ImportName {
  const char* dll;
  const char* function;
};
constexpr ImportName import_names[import_count] = {
    {"winmm.dll", "mixerOpen"},
    {"winmm.dll", "mixerGetLineInfoA"},
    {"winmm.dll", "mixerGetLineInfoW"},
    {"winmm.dll", "mixerGetLineControlsA"},
    {"winmm.dll", "mixerGetControlDetailsA"},
    {"winmm.dll", "mixerSetControlDetails"},
    {"winmm.dll", "mixerGetDevCapsA"},
    {"winmm.dll", "mixerGetDevCapsW"},
    {"winmm.dll", "mixerGetID"},
    {"winmm.dll", "mixerGetNumDevs"},
    {"utf8api.dll", "uCreateWindowEx"},
    {"utf8api.dll", "uRegisterClass"},
    {"utf8api.dll", "uSetWindowLong"},
    {"utf8api.dll", "uCreateDialog"},
    {"user32.dll", "SendNotifyMessageW"},
    {"msvcrt.dll", "malloc"},
    {"msvcrt.dll", "calloc"},
    {"msvcrt.dll", "realloc"},
};

template <class F>
F real(Import import) {
  return active->original<F>(import);
}

// Each replacement asks at its very start, so that the return address is
// the one the module's call pushed.
#define FAILS(import) active->fails(import, __builtin_return_address(0))

constexpr MMRESULT mixer_failure = MMSYSERR_NOMEM;

std::string line_query(DWORD flags, DWORD source) {
  const char* by = (flags & MIXER_OBJECTF_HMIXER) == MIXER_OBJECTF_HMIXER ? "" : "by id: ";
  switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
      return by + std::string("speakers");
    case MIXER_GETLINEINFOF_SOURCE:
      return by + std::string("source ") + std::to_string(source);
  }
  return by + std::string("line");
}

std::string class_of(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

MMRESULT WINAPI open_mixer(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                           DWORD flags) {
  if (FAILS(Import::mixerOpen)) {
    active->describe_fault("device " + std::to_string(id));
    return mixer_failure;
  }
  return real<decltype(&mixerOpen)>(Import::mixerOpen)(mixer, id, callback, instance, flags);
}

MMRESULT WINAPI line_info_a(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) {
  if (FAILS(Import::mixerGetLineInfoA)) {
    active->describe_fault(line_query(flags, line->dwSource));
    return mixer_failure;
  }
  return real<decltype(&mixerGetLineInfoA)>(Import::mixerGetLineInfoA)(mixer, line, flags);
}

MMRESULT WINAPI line_info_w(HMIXEROBJ mixer, MIXERLINEW* line, DWORD flags) {
  if (FAILS(Import::mixerGetLineInfoW)) {
    active->describe_fault(line_query(flags, line->dwSource));
    return mixer_failure;
  }
  return real<decltype(&mixerGetLineInfoW)>(Import::mixerGetLineInfoW)(mixer, line, flags);
}

MMRESULT WINAPI line_controls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) {
  if (FAILS(Import::mixerGetLineControlsA)) {
    active->describe_fault("line " + std::to_string(controls->dwLineID));
    return mixer_failure;
  }
  return real<decltype(&mixerGetLineControlsA)>(Import::mixerGetLineControlsA)(mixer, controls,
                                                                               flags);
}

MMRESULT WINAPI get_details(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
  if (FAILS(Import::mixerGetControlDetailsA)) {
    active->describe_fault("control " + std::to_string(details->dwControlID));
    return mixer_failure;
  }
  return real<decltype(&mixerGetControlDetailsA)>(Import::mixerGetControlDetailsA)(mixer, details,
                                                                                   flags);
}

MMRESULT WINAPI set_details(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
  if (FAILS(Import::mixerSetControlDetails)) {
    active->describe_fault("control " + std::to_string(details->dwControlID));
    return mixer_failure;
  }
  return real<decltype(&mixerSetControlDetails)>(Import::mixerSetControlDetails)(mixer, details,
                                                                                 flags);
}

MMRESULT WINAPI device_caps_a(UINT_PTR id, MIXERCAPSA* caps, UINT size) {
  if (FAILS(Import::mixerGetDevCapsA)) {
    active->describe_fault("device " + std::to_string(id));
    return mixer_failure;
  }
  return real<decltype(&mixerGetDevCapsA)>(Import::mixerGetDevCapsA)(id, caps, size);
}

MMRESULT WINAPI device_caps_w(UINT_PTR id, MIXERCAPSW* caps, UINT size) {
  if (FAILS(Import::mixerGetDevCapsW)) {
    active->describe_fault("device " + std::to_string(id));
    return mixer_failure;
  }
  return real<decltype(&mixerGetDevCapsW)>(Import::mixerGetDevCapsW)(id, caps, size);
}

MMRESULT WINAPI get_id(HMIXEROBJ mixer, UINT* id, DWORD flags) {
  if (FAILS(Import::mixerGetID)) {
    active->describe_fault("device " + std::to_string(reinterpret_cast<UINT_PTR>(mixer)));
    return mixer_failure;
  }
  return real<decltype(&mixerGetID)>(Import::mixerGetID)(mixer, id, flags);
}

UINT WINAPI device_count() {
  if (FAILS(Import::mixerGetNumDevs)) {
    active->describe_fault("no devices");
    return 0;
  }
  return real<decltype(&mixerGetNumDevs)>(Import::mixerGetNumDevs)();
}

HWND __cdecl create_window(DWORD ex_style, const char* class_name, const char* title, DWORD style,
                           int x, int y, int width, int height, HWND parent, HMENU menu,
                           HINSTANCE instance, void* parameter) {
  if (FAILS(Import::uCreateWindowEx)) {
    // The component's own classes come as atoms: their windows' titles tell them apart.
    const bool named = IS_INTRESOURCE(class_name) == 0;
    active->describe_fault(named ? class_name : title != nullptr ? title : "");
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return real<decltype(&uCreateWindowEx)>(Import::uCreateWindowEx)(
      ex_style, class_name, title, style, x, y, width, height, parent, menu, instance, parameter);
}

ATOM __cdecl register_class(const WNDCLASSA* description) {
  if (FAILS(Import::uRegisterClass)) {
    active->describe_fault(description->lpszClassName);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  return real<decltype(&uRegisterClass)>(Import::uRegisterClass)(description);
}

LONG_PTR __cdecl set_window_long(HWND window, int index, LONG_PTR value) {
  if (FAILS(Import::uSetWindowLong)) {
    const char* field = index == GWLP_USERDATA  ? "user data"
                        : index == GWLP_WNDPROC ? "procedure"
                                                : "field";
    active->describe_fault(std::string(field) + " of " + class_of(window));
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  return real<decltype(&uSetWindowLong)>(Import::uSetWindowLong)(window, index, value);
}

HWND __cdecl create_dialog(HINSTANCE instance, UINT template_id, HWND parent, DLGPROC procedure,
                           LPARAM parameter) {
  if (FAILS(Import::uCreateDialog)) {
    active->describe_fault("dialog " + std::to_string(template_id));
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return real<decltype(&uCreateDialog)>(Import::uCreateDialog)(instance, template_id, parent,
                                                               procedure, parameter);
}

// Another thread's window: the message would wait in its queue, and the
// queue has no room.
BOOL WINAPI send_notify(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (FAILS(Import::SendNotifyMessageW)) {
    active->describe_fault("to " + class_of(window));
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return real<decltype(&SendNotifyMessageW)>(Import::SendNotifyMessageW)(window, message, wparam,
                                                                         lparam);
}

void* __cdecl heap_malloc(size_t size) {
  if (FAILS(Import::malloc)) {
    active->describe_fault(std::to_string(size) + " bytes");
    return nullptr;
  }
  void* block = real<decltype(&std::malloc)>(Import::malloc)(size);
  active->allocated(block);
  return block;
}

void* __cdecl heap_calloc(size_t count, size_t size) {
  if (FAILS(Import::calloc)) {
    active->describe_fault(std::to_string(count) + " x " + std::to_string(size) + " bytes");
    return nullptr;
  }
  void* block = real<decltype(&std::calloc)>(Import::calloc)(count, size);
  active->allocated(block);
  return block;
}

// A failed realloc leaves the block where it was, as the real one does.
void* __cdecl heap_realloc(void* block, size_t size) {
  if (FAILS(Import::realloc)) {
    active->describe_fault(std::to_string(size) + " bytes");
    return nullptr;
  }
  void* moved = real<decltype(&std::realloc)>(Import::realloc)(block, size);
  if (moved != nullptr || size == 0) active->freed(block);
  active->allocated(moved);
  return moved;
}

void __cdecl heap_free(void* block) {
  active->freed(block);
  active->original_free<decltype(&std::free)>()(block);
}

#undef FAILS

// In the order of Import.
const void* const replacements[import_count] = {
    reinterpret_cast<const void*>(&open_mixer),      reinterpret_cast<const void*>(&line_info_a),
    reinterpret_cast<const void*>(&line_info_w),     reinterpret_cast<const void*>(&line_controls),
    reinterpret_cast<const void*>(&get_details),     reinterpret_cast<const void*>(&set_details),
    reinterpret_cast<const void*>(&device_caps_a),   reinterpret_cast<const void*>(&device_caps_w),
    reinterpret_cast<const void*>(&get_id),          reinterpret_cast<const void*>(&device_count),
    reinterpret_cast<const void*>(&create_window),   reinterpret_cast<const void*>(&register_class),
    reinterpret_cast<const void*>(&set_window_long), reinterpret_cast<const void*>(&create_dialog),
    reinterpret_cast<const void*>(&send_notify),     reinterpret_cast<const void*>(&heap_malloc),
    reinterpret_cast<const void*>(&heap_calloc),     reinterpret_cast<const void*>(&heap_realloc),
};

}  // namespace

const char* name_of(Import import) { return import_names[static_cast<int>(import)].function; }

bool is_heap(Import import) {
  return import == Import::malloc || import == Import::calloc || import == Import::realloc;
}

FaultInjector::FaultInjector(HMODULE module) : base_(reinterpret_cast<uintptr_t>(module)) {
  active = this;
  for (int i = 0; i < import_count; ++i) {
    patches_[i] = std::make_unique<ImportPatch>(module, import_names[i].dll,
                                                import_names[i].function, replacements[i]);
  }
  free_patch_ = std::make_unique<ImportPatch>(module, "msvcrt.dll", "free",
                                              reinterpret_cast<const void*>(&heap_free));
}

FaultInjector::~FaultInjector() {
  free_patch_.reset();
  for (auto& patch : patches_)
    patch.reset();
  active = nullptr;
}

bool FaultInjector::applied() const {
  // A module that never imported a function cannot call it either; the ones
  // every build of the component has must be there.
  for (Import import :
       {Import::mixerOpen, Import::mixerGetNumDevs, Import::uCreateWindowEx, Import::uRegisterClass,
        Import::uSetWindowLong, Import::SendNotifyMessageW, Import::malloc, Import::realloc}) {
    if (!patches_[static_cast<int>(import)]->applied()) return false;
  }
  return free_patch_->applied();
}

void FaultInjector::arm(const FaultPlan& plan) {
  std::lock_guard<std::mutex> guard(mutex_);
  plan_ = plan;
  armed_ = true;
}

void FaultInjector::disarm() {
  std::lock_guard<std::mutex> guard(mutex_);
  armed_ = false;
}

std::vector<std::pair<CallSite, unsigned>> FaultInjector::sites() const {
  std::lock_guard<std::mutex> guard(mutex_);
  auto sorted = counts_;
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

std::vector<InjectedFault> FaultInjector::faults() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return faults_;
}

size_t FaultInjector::live_blocks() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return blocks_.size();
}

bool FaultInjector::fails(Import import, void* return_address) {
  const CallSite site{import,
                      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(return_address) - base_)};
  std::lock_guard<std::mutex> guard(mutex_);
  auto counted = std::find_if(counts_.begin(), counts_.end(),
                              [&site](const auto& entry) { return entry.first == site; });
  if (counted == counts_.end()) {
    counts_.push_back({site, 0});
    counted = counts_.end() - 1;
  }
  const unsigned nth = ++counted->second;
  if (!armed_ || !(plan_.site == site) || nth < plan_.first) return false;
  if (plan_.count != 0 && nth - plan_.first >= plan_.count) return false;
  faults_.push_back({site, nth, {}});
  return true;
}

void FaultInjector::describe_fault(std::string what) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.back().what = std::move(what);
}

void FaultInjector::allocated(void* block) {
  if (block == nullptr) return;
  std::lock_guard<std::mutex> guard(mutex_);
  blocks_.insert(block);
}

void FaultInjector::freed(void* block) {
  if (block == nullptr) return;
  std::lock_guard<std::mutex> guard(mutex_);
  blocks_.erase(block);  // blocks from before the injector are not counted
}

}  // namespace testing_support
