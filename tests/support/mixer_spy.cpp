// The spy's pass-through stand-ins for the winmm mixer functions.
#include "support/mixer_spy.h"

#include <mmsystem.h>

namespace testing_support {

namespace {
MixerSpy* active = nullptr;
}

struct MixerSpyCalls {
  static MMRESULT WINAPI open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                              DWORD flags) {
    active->calls.push_back("mixerOpen(" + std::to_string(id) + ")");
    return mixerOpen(mixer, id, callback, instance, flags);
  }
  static MMRESULT WINAPI close(HMIXER mixer) {
    active->calls.push_back("mixerClose");
    return mixerClose(mixer);
  }
  static MMRESULT WINAPI get_details(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) {
    active->calls.push_back("mixerGetControlDetailsA");
    return mixerGetControlDetailsA(object, details, flags);
  }
  static MMRESULT WINAPI set_details(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags) {
    const auto* value = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
    active->calls.push_back("mixerSetControlDetails(" + std::to_string(value->dwValue) + ")");
    return mixerSetControlDetails(object, details, flags);
  }
};

MixerSpy::MixerSpy(HMODULE module) {
  active = this;
  const struct {
    const char* name;
    const void* replacement;
  } functions[] = {
      {"mixerOpen", reinterpret_cast<const void*>(&MixerSpyCalls::open)},
      {"mixerClose", reinterpret_cast<const void*>(&MixerSpyCalls::close)},
      {"mixerGetControlDetailsA", reinterpret_cast<const void*>(&MixerSpyCalls::get_details)},
      {"mixerSetControlDetails", reinterpret_cast<const void*>(&MixerSpyCalls::set_details)},
  };
  for (const auto& function : functions) {
    patches_.push_back(
        std::make_unique<ImportPatch>(module, "winmm.dll", function.name, function.replacement));
  }
}

MixerSpy::~MixerSpy() {
  patches_.clear();
  active = nullptr;
}

bool MixerSpy::applied() const {
  for (const auto& patch : patches_) {
    if (!patch->applied()) return false;
  }
  return true;
}

}  // namespace testing_support
