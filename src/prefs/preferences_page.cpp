// The page's dialog: what it shows when it opens and what a new choice does.
#include "prefs/preferences_page.h"

#include "backend/volume_backend.h"
#include "frame/component_state.h"
#include "host/utf8api.h"
#include "prefs/mixer_lists.h"
#include "prefs/prefs_dialog_ids.h"
#include "prefs/stored_choice.h"

namespace dwx {

namespace {

constexpr WPARAM device_changed = MAKEWPARAM(DWX_PREFS_DEVICE_LIST, CBN_SELCHANGE);
constexpr WPARAM control_changed = MAKEWPARAM(DWX_PREFS_CONTROL_LIST, CBN_SELCHANGE);

void show_stored_choice(HWND dialog) {
  HWND list = GetDlgItem(dialog, DWX_PREFS_DEVICE_LIST);
  uSendMessageText(list, CB_ADDSTRING, 0, "Plinvox internal");
  const uint32_t devices = add_mixer_devices(list);
  // A device that has gone since the choice was stored: back to the host's
  // own volume. A device equal to the count is the last mixer.
  if (chosen_device() > devices) {
    mixer_id.set(0);
    volume_backend.reopen(0, 0);
  }
  uSendMessage(list, CB_SETCURSEL, chosen_device(), 0);
  refresh_control_list(dialog, chosen_device());
}

void choose_device(HWND dialog, HWND list) {
  const LRESULT selected = uSendMessage(list, CB_GETCURSEL, 0, 0);
  mixer_id.set(static_cast<int32_t>(selected));
  mixer_control.set(0);
  volume_backend.reopen(chosen_device(), 0);
  // A device that failed to open leaves the host's own volume in use: show
  // that, not the device the user picked.
  if (chosen_device() != static_cast<uint32_t>(selected)) {
    uSendMessage(list, CB_SETCURSEL, chosen_device(), 0);
  }
  refresh_control_list(dialog, chosen_device());
}

void choose_control(HWND list) {
  const LRESULT selected = uSendMessage(list, CB_GETCURSEL, 0, 0);
  mixer_control.set(static_cast<int32_t>(selected));
  volume_backend.reopen(chosen_device(), chosen_control());
}

// Answers 0 to everything, WM_INITDIALOG included: the page leaves the focus
// where the host's preferences window puts it.
INT_PTR CALLBACK page_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    show_stored_choice(dialog);
  } else if (message == WM_COMMAND) {
    // Notification code and item id are compared together.
    if (wparam == device_changed) {
      choose_device(dialog, reinterpret_cast<HWND>(lparam));
    } else if (wparam == control_changed) {
      choose_control(reinterpret_cast<HWND>(lparam));
    }
  }
  return 0;
}

}  // namespace

HWND VolumePrefsPage::create_page(HWND parent) {
  return uCreateDialog(module_instance(), DWX_PREFS_DIALOG, parent, page_procedure, 0);
}

}  // namespace dwx
