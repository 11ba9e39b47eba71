// The device and control lists, read from the system's mixers by identifier.
#include "prefs/mixer_lists.h"

#include <mmsystem.h>

#include "backend/volume_backend.h"
#include "diagnostics/console.h"
#include "host/utf8api.h"
#include "prefs/prefs_dialog_ids.h"
#include "prefs/stored_choice.h"
#include "text/format.h"
#include "text/system_error.h"

namespace dwx {

namespace {

static_assert(sizeof(MIXERCAPSW) == 80 && sizeof(MIXERCAPSA) == 48, "the sizes winmm expects");
#ifndef _WIN64  // a pointer-sized field makes them larger on 64-bit
static_assert(sizeof(MIXERLINEW) == 280 && sizeof(MIXERLINEA) == 168, "the sizes winmm expects");
#endif

// The page never opens a mixer: every query names the device by identifier.
HMIXEROBJ by_identifier(UINT identifier) {
  return reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(identifier));
}

// A driver fills a fixed array; make sure its text ends inside it before the
// list box reads it.
template <class Char, size_t N>
const Char* terminated(Char (&text)[N]) {
  text[N - 1] = 0;
  return text;
}

// Names come from the system in UTF-16 or in the system code page and go to
// the list unchanged, so the form of each call follows utf8api's choice.
struct WideMixer {
  using Caps = MIXERCAPSW;
  using Line = MIXERLINEW;
  static MMRESULT get_caps(UINT identifier, Caps* caps) {
    return mixerGetDevCapsW(identifier, caps, sizeof *caps);
  }
  static MMRESULT get_line(UINT identifier, Line* line, DWORD query) {
    return mixerGetLineInfoW(by_identifier(identifier), line, MIXER_OBJECTF_MIXER | query);
  }
  static void add(HWND list, const wchar_t* name) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
};

struct AnsiMixer {
  using Caps = MIXERCAPSA;
  using Line = MIXERLINEA;
  static MMRESULT get_caps(UINT identifier, Caps* caps) {
    return mixerGetDevCapsA(identifier, caps, sizeof *caps);
  }
  static MMRESULT get_line(UINT identifier, Line* line, DWORD query) {
    return mixerGetLineInfoA(by_identifier(identifier), line, MIXER_OBJECTF_MIXER | query);
  }
  static void add(HWND list, const char* name) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
};

// The page's failures go straight to the console: it only exists while the
// host is up and showing it.
void report_failure(const char* format, MMRESULT result) {
  Utf8String reason = winmm_error_text(result);
  console_output(NoticeLevel::warning, format_text(format, reason.c_str()).c_str());
}

template <class Api>
void add_devices(HWND list, uint32_t count) {
  for (uint32_t identifier = 0; identifier < count; ++identifier) {
    typename Api::Caps caps = {};
    const MMRESULT result = Api::get_caps(identifier, &caps);
    if (result == MMSYSERR_NOERROR) {
      Api::add(list, terminated(caps.szPname));
      continue;
    }
    Utf8String reason = winmm_error_text(result);
    uSendMessageText(list, CB_ADDSTRING, 0, "");
    console_output(NoticeLevel::warning, format_text("Unable to query mixer info for ID %u - %s",
                                                     identifier, reason.c_str())
                                             .c_str());
  }
}

// Source lines the page lists at most. The count comes from the driver, and
// one that claims billions and answers every query would hold the page for
// hours; real devices have a few dozen.
constexpr uint32_t most_source_lines = 256;

uint32_t sources_to_list(uint32_t reported) {
  if (reported <= most_source_lines) return reported;
  console_output(NoticeLevel::warning,
                 format_text("Mixer reports %u source lines - only the first %u are listed",
                             reported, most_source_lines)
                     .c_str());
  return most_source_lines;
}

// Entry 0 is the speaker line, entry n its source line n-1 of destination 0,
// the same choice the mixer connection makes. False when a query failed;
// the entries added before it stay. Otherwise `sources` is the number of
// source lines listed.
template <class Api>
bool add_lines(HWND list, UINT identifier, uint32_t* sources) {
  typename Api::Line speakers = {};
  speakers.cbStruct = sizeof speakers;
  speakers.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  MMRESULT result = Api::get_line(identifier, &speakers, MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (result != MMSYSERR_NOERROR) {
    report_failure("Failed to query mixer line info for master volume - %s", result);
    return false;
  }
  Api::add(list, terminated(speakers.szName));  // the long name: the short one is cut
  const uint32_t count = sources_to_list(speakers.cConnections);
  for (DWORD source = 0; source < count; ++source) {
    typename Api::Line line = {};
    line.cbStruct = sizeof line;
    line.dwSource = source;
    line.dwDestination = 0;
    result = Api::get_line(identifier, &line, MIXER_GETLINEINFOF_SOURCE);
    if (result != MMSYSERR_NOERROR) {
      report_failure("Failed to query mixer line info for source control - %s", result);
      return false;
    }
    Api::add(list, terminated(line.szName));
  }
  *sources = count;
  return true;
}

}  // namespace

uint32_t add_mixer_devices(HWND device_list) {
  const uint32_t count = mixerGetNumDevs();
  if (count == 0) return 0;
  if (IsUnicode()) {
    add_devices<WideMixer>(device_list, count);
  } else {
    add_devices<AnsiMixer>(device_list, count);
  }
  return count;
}

void refresh_control_list(HWND dialog, uint32_t device) {
  const bool mixer = device != 0;
  // The host's own volume has no controls to choose from; its entries stay,
  // hidden, until a mixer device is chosen again.
  if (mixer) uSendDlgItemMessage(dialog, DWX_PREFS_CONTROL_LIST, CB_RESETCONTENT, 0, 0);
  const int show_controls = mixer ? SW_SHOWNORMAL : SW_HIDE;
  ShowWindow(GetDlgItem(dialog, DWX_PREFS_CONTROL_LABEL), show_controls);
  ShowWindow(GetDlgItem(dialog, DWX_PREFS_CONTROL_LIST), show_controls);
  ShowWindow(GetDlgItem(dialog, DWX_PREFS_INTERNAL_NOTE), mixer ? SW_HIDE : SW_SHOWNORMAL);
  if (!mixer) return;

  HWND list = GetDlgItem(dialog, DWX_PREFS_CONTROL_LIST);
  // The device index stands where a handle would: mixerGetID accepts either.
  UINT identifier = 0;
  const MMRESULT result = mixerGetID(by_identifier(device - 1), &identifier, MIXER_OBJECTF_MIXER);
  if (result != MMSYSERR_NOERROR) {
    report_failure("mixerGetID failed - %s", result);
    return;
  }
  uint32_t sources = 0;
  const bool listed = IsUnicode() ? add_lines<WideMixer>(list, identifier, &sources)
                                  : add_lines<AnsiMixer>(list, identifier, &sources);
  if (!listed) return;
  // A control equal to the count is the last source line.
  if (chosen_control() > sources) {
    mixer_control.set(0);
    volume_backend.reopen(chosen_device(), 0);
  }
  uSendMessage(list, CB_SETCURSEL, chosen_control(), 0);
}

}  // namespace dwx
