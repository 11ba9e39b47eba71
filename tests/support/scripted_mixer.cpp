// The scripted mixer's stand-ins for the winmm mixer functions.
#include "support/scripted_mixer.h"

#include <algorithm>
#include <string>

namespace testing_support {

namespace {

ScriptedMixer* active = nullptr;

constexpr UINT_PTR first_handle = 0x4D00;
// Which kind of object a mixer call names (an open handle, a mixer id, ...).
constexpr DWORD object_type_mask = 0xF0000000;

HMIXER handle_for(size_t device) { return reinterpret_cast<HMIXER>(first_handle + device); }

void copy_name(const std::wstring& name, wchar_t* out, size_t capacity) {
  lstrcpynW(out, name.c_str(), static_cast<int>(capacity));
}

void copy_name(const std::wstring& name, char* out, size_t capacity) {
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, out, static_cast<int>(capacity), nullptr,
                      nullptr);
  out[capacity - 1] = '\0';
}

std::string number(UINT_PTR value) { return std::to_string(value); }

}  // namespace

// The replacements, with winmm's own signatures and calling convention.
struct ScriptedMixerCalls {
  static UINT WINAPI get_num_devs() {
    if (active->record_calls) active->calls.push_back("mixerGetNumDevs");
    return static_cast<UINT>(active->devices.size());
  }

  template <class Caps>
  static MMRESULT get_dev_caps(UINT_PTR id, Caps* caps, UINT size, const char* name) {
    if (active->record_calls)
      active->calls.push_back(std::string(name) + "(" + number(id) + "," + number(size) + ")");
    if (id >= active->devices.size()) return MMSYSERR_BADDEVICEID;
    const ScriptedDevice& device = active->devices[id];
    if (device.caps_result != MMSYSERR_NOERROR) return device.caps_result;
    if (caps == nullptr || size < sizeof(Caps)) return MMSYSERR_INVALPARAM;
    *caps = Caps{};
    copy_name(device.name, caps->szPname, sizeof caps->szPname / sizeof caps->szPname[0]);
    caps->cDestinations = 1;
    return MMSYSERR_NOERROR;
  }
  static MMRESULT WINAPI get_dev_caps_a(UINT_PTR id, MIXERCAPSA* caps, UINT size) {
    return get_dev_caps(id, caps, size, "mixerGetDevCapsA");
  }
  static MMRESULT WINAPI get_dev_caps_w(UINT_PTR id, MIXERCAPSW* caps, UINT size) {
    return get_dev_caps(id, caps, size, "mixerGetDevCapsW");
  }

  static MMRESULT WINAPI get_id(HMIXEROBJ object, UINT* id, DWORD flags) {
    if (active->record_calls)
      active->calls.push_back("mixerGetID(" + number(reinterpret_cast<UINT_PTR>(object)) + "," +
                              number(flags) + ")");
    MMRESULT error = MMSYSERR_NOERROR;
    ScriptedDevice* device = active->device_of(object, flags, &error);
    if (device == nullptr) return error;
    if (device->id_result != MMSYSERR_NOERROR) return device->id_result;
    *id = static_cast<UINT>(device - active->devices.data());
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    if (active->record_calls) active->calls.push_back("mixerOpen(" + number(id) + ")");
    if (id >= active->devices.size()) return MMSYSERR_BADDEVICEID;
    if (active->devices[id].open_result != MMSYSERR_NOERROR) return active->devices[id].open_result;
    if ((flags & CALLBACK_TYPEMASK) == CALLBACK_WINDOW) {
      active->callback_window_ = reinterpret_cast<HWND>(callback);
    }
    active->open_[id] = true;
    ++active->open_count_;
    *mixer = handle_for(id);
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI close(HMIXER mixer) {
    const UINT_PTR index = reinterpret_cast<UINT_PTR>(mixer) - first_handle;
    if (active->record_calls) active->calls.push_back("mixerClose(" + number(index) + ")");
    if (index >= active->devices.size() || !active->open_[index]) return MMSYSERR_INVALHANDLE;
    active->open_[index] = false;
    --active->open_count_;
    return MMSYSERR_NOERROR;
  }

  static DWORD sources_of(const ScriptedDevice& device) {
    return device.claimed_sources != 0 ? device.claimed_sources
                                       : static_cast<DWORD>(device.sources.size());
  }

  template <class Line>
  static MMRESULT get_line_info(HMIXEROBJ object, Line* line, DWORD flags, const char* name) {
    if (active->record_calls)
      active->calls.push_back(std::string(name) + "(" +
                              number(flags & MIXER_GETLINEINFOF_QUERYMASK) + ")");
    MMRESULT error = MMSYSERR_NOERROR;
    ScriptedDevice* device = active->device_of(object, flags, &error);
    if (device == nullptr) return error;
    if (line == nullptr || line->cbStruct != sizeof(Line)) return MMSYSERR_INVALPARAM;
    const ScriptedLine* source = nullptr;
    switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
      case MIXER_GETLINEINFOF_COMPONENTTYPE:
        if (line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) return MIXERR_INVALLINE;
        source = &device->speakers;
        line->cConnections = sources_of(*device);
        line->dwSource = 0;
        break;
      case MIXER_GETLINEINFOF_SOURCE:
        if (line->dwDestination != 0 || line->dwSource >= sources_of(*device)) {
          return MIXERR_INVALLINE;
        }
        source = &device->sources[std::min<size_t>(line->dwSource, device->sources.size() - 1)];
        line->cConnections = 0;
        break;
      default:
        return MMSYSERR_NOTSUPPORTED;
    }
    if (source->query_result != MMSYSERR_NOERROR) return source->query_result;
    copy_name(source->name, line->szName, sizeof line->szName / sizeof line->szName[0]);
    copy_name(source->short_name.empty() ? source->name : source->short_name, line->szShortName,
              sizeof line->szShortName / sizeof line->szShortName[0]);
    line->dwDestination = 0;
    line->dwLineID = source->line_id;
    line->cControls = 1;
    return MMSYSERR_NOERROR;
  }
  static MMRESULT WINAPI get_line_info_a(HMIXEROBJ object, MIXERLINEA* line, DWORD flags) {
    return get_line_info(object, line, flags, "mixerGetLineInfoA");
  }
  static MMRESULT WINAPI get_line_info_w(HMIXEROBJ object, MIXERLINEW* line, DWORD flags) {
    return get_line_info(object, line, flags, "mixerGetLineInfoW");
  }

  static MMRESULT WINAPI get_line_controls_a(HMIXEROBJ object, MIXERLINECONTROLSA* controls,
                                             DWORD flags) {
    if (active->record_calls)
      active->calls.push_back("mixerGetLineControlsA(" + number(controls->dwLineID) + ")");
    MMRESULT error = MMSYSERR_NOERROR;
    ScriptedDevice* device = active->device_of(object, flags, &error);
    if (device == nullptr) return error;
    if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ONEBYTYPE ||
        controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME || controls->cControls != 1 ||
        controls->cbmxctrl != sizeof(MIXERCONTROLA)) {
      return MMSYSERR_INVALPARAM;
    }
    const ScriptedLine* line = nullptr;
    if (device->speakers.line_id == controls->dwLineID) line = &device->speakers;
    for (const ScriptedLine& source : device->sources) {
      if (source.line_id == controls->dwLineID) line = &source;
    }
    if (line == nullptr) return MIXERR_INVALLINE;
    if (line->controls_result != MMSYSERR_NOERROR) return line->controls_result;
    MIXERCONTROLA* control = controls->pamxctrl;
    *control = MIXERCONTROLA{};
    control->cbStruct = sizeof *control;
    control->dwControlID = line->control_id;
    control->dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    control->Bounds.dwMinimum = line->minimum;
    control->Bounds.dwMaximum = line->maximum;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT details(HMIXEROBJ object, MIXERCONTROLDETAILS* details, DWORD flags, bool set) {
    if (active->record_calls)
      active->calls.push_back(
          std::string(set ? "mixerSetControlDetails(" : "mixerGetControlDetailsA(") +
          number(details->dwControlID) + ")");
    if (!set && active->on_read) active->on_read();
    MMRESULT error = MMSYSERR_NOERROR;
    if (active->device_of(object, flags, &error) == nullptr) return error;
    const MMRESULT scripted = set ? active->details_set_result : active->details_get_result;
    if (scripted != MMSYSERR_NOERROR) return scripted;
    ScriptedLine* line = active->line_with_control(details->dwControlID);
    if (line == nullptr) return MIXERR_INVALCONTROL;
    auto* value = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
    if (set) {
      line->value = value->dwValue;
    } else {
      value->dwValue = line->value;
    }
    return MMSYSERR_NOERROR;
  }
  static MMRESULT WINAPI get_details_a(HMIXEROBJ object, MIXERCONTROLDETAILS* d, DWORD flags) {
    return details(object, d, flags, false);
  }
  static MMRESULT WINAPI set_details(HMIXEROBJ object, MIXERCONTROLDETAILS* d, DWORD flags) {
    return details(object, d, flags, true);
  }
};

ScriptedMixer::ScriptedMixer(HMODULE module) {
  active = this;
  const struct {
    const char* name;
    const void* replacement;
  } functions[] = {
      {"mixerGetNumDevs", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_num_devs)},
      {"mixerGetDevCapsA", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_dev_caps_a)},
      {"mixerGetDevCapsW", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_dev_caps_w)},
      {"mixerGetID", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_id)},
      {"mixerOpen", reinterpret_cast<const void*>(&ScriptedMixerCalls::open)},
      {"mixerClose", reinterpret_cast<const void*>(&ScriptedMixerCalls::close)},
      {"mixerGetLineInfoA", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_line_info_a)},
      {"mixerGetLineInfoW", reinterpret_cast<const void*>(&ScriptedMixerCalls::get_line_info_w)},
      {"mixerGetLineControlsA",
       reinterpret_cast<const void*>(&ScriptedMixerCalls::get_line_controls_a)},
      {"mixerGetControlDetailsA",
       reinterpret_cast<const void*>(&ScriptedMixerCalls::get_details_a)},
      {"mixerSetControlDetails", reinterpret_cast<const void*>(&ScriptedMixerCalls::set_details)},
  };
  for (const auto& function : functions) {
    patches_.push_back(
        std::make_unique<ImportPatch>(module, "winmm.dll", function.name, function.replacement));
  }
  open_.assign(16, false);
}

ScriptedMixer::~ScriptedMixer() {
  patches_.clear();
  active = nullptr;
}

bool ScriptedMixer::applied() const {
  // A module imports only what it calls; at least the open must be there.
  for (const auto& patch : patches_) {
    if (patch->applied()) return true;
  }
  return false;
}

ScriptedDevice ScriptedMixer::device(const wchar_t* name, int sources) {
  ScriptedDevice device;
  device.name = name;
  device.speakers.name = L"Master Volume";
  device.speakers.line_id = 0xFFFF0000;
  device.speakers.control_id = 100;
  for (int i = 0; i < sources; ++i) {
    ScriptedLine line;
    line.name = L"Source " + std::to_wstring(i + 1);
    line.line_id = static_cast<DWORD>(i + 1);
    line.control_id = static_cast<DWORD>(101 + i);
    device.sources.push_back(line);
  }
  return device;
}

HMIXER ScriptedMixer::handle_of(size_t device) const {
  return device < devices.size() && open_[device] ? handle_for(device) : nullptr;
}

ScriptedDevice* ScriptedMixer::device_of(HMIXEROBJ object, DWORD flags, MMRESULT* error) {
  const auto value = reinterpret_cast<UINT_PTR>(object);
  if ((flags & object_type_mask) == MIXER_OBJECTF_HMIXER) {
    const UINT_PTR index = value - first_handle;
    if (index < devices.size() && open_[index]) return &devices[index];
    *error = MMSYSERR_INVALHANDLE;
    return nullptr;
  }
  if ((flags & object_type_mask) == MIXER_OBJECTF_MIXER && value < devices.size()) {
    return &devices[value];
  }
  *error = MMSYSERR_BADDEVICEID;
  return nullptr;
}

ScriptedLine* ScriptedMixer::line_with_control(DWORD control_id) {
  for (ScriptedDevice& device : devices) {
    if (device.speakers.control_id == control_id) return &device.speakers;
    for (ScriptedLine& line : device.sources) {
      if (line.control_id == control_id) return &line;
    }
  }
  return nullptr;
}

DWORD ScriptedMixer::value_of(DWORD control_id) const {
  return const_cast<ScriptedMixer*>(this)->line_with_control(control_id)->value;
}

void ScriptedMixer::set_value(DWORD control_id, DWORD value) {
  line_with_control(control_id)->value = value;
}

}  // namespace testing_support
