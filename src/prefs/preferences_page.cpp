// The page's dialog: what it shows when it opens and what a new choice does.
#include "prefs/preferences_page.h"

#include "backend/volume_backend.h"
#include "frame/component_state.h"
#include "frame/own_windows.h"
#include "host/utf8api.h"
#include "prefs/mixer_lists.h"
#include "prefs/prefs_dialog_ids.h"
#include "prefs/stored_choice.h"

namespace dwx {

namespace {

constexpr WPARAM device_changed = MAKEWPARAM(DWX_PREFS_DEVICE_LIST, CBN_SELCHANGE);
constexpr WPARAM control_changed = MAKEWPARAM(DWX_PREFS_CONTROL_LIST, CBN_SELCHANGE);

// Selects the device in use in the device list and shows its controls.
// Listing a mixer's lines may repair the stored control, and a reopen that
// fails there leaves the host's own volume in use (device 0, which has no
// lines to list): that is shown next.
void show_device_in_use(HWND dialog) {
  const uint32_t device = chosen_device();
  uSendMessage(GetDlgItem(dialog, DWX_PREFS_DEVICE_LIST), CB_SETCURSEL, device, 0);
  refresh_control_list(dialog, device);
  if (chosen_device() != device) show_device_in_use(dialog);
}

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
  show_device_in_use(dialog);
}

// A device that fails to open leaves the host's own volume in use: the page
// shows that, not the device the user picked.
void choose_device(HWND dialog, HWND list) {
  const LRESULT selected = uSendMessage(list, CB_GETCURSEL, 0, 0);
  mixer_id.set(static_cast<int32_t>(selected));
  mixer_control.set(0);
  volume_backend.reopen(chosen_device(), 0);
  show_device_in_use(dialog);
}

// The lists stay as they are, unless the control's line cannot be opened
// and the host's own volume is in use from now on.
void choose_control(HWND dialog, HWND list) {
  const uint32_t device = chosen_device();
  const LRESULT selected = uSendMessage(list, CB_GETCURSEL, 0, 0);
  mixer_control.set(static_cast<int32_t>(selected));
  volume_backend.reopen(device, chosen_control());
  if (chosen_device() != device) show_device_in_use(dialog);
}

// Answers 0 to everything, WM_INITDIALOG included: the page leaves the focus
// where the host's preferences window puts it.
INT_PTR CALLBACK page_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCDESTROY) {
    own_windows.remove(dialog);
  } else if (message == WM_INITDIALOG) {
    show_stored_choice(dialog);
  } else if (message == WM_COMMAND) {
    // Notification code and item id are compared together.
    if (wparam == device_changed) {
      choose_device(dialog, reinterpret_cast<HWND>(lparam));
    } else if (wparam == control_changed) {
      choose_control(dialog, reinterpret_cast<HWND>(lparam));
    }
  }
  return 0;
}

}  // namespace

HWND VolumePrefsPage::create_page(HWND parent) {
  HWND page = uCreateDialog(module_instance(), DWX_PREFS_DIALOG, parent, page_procedure, 0);
  // The host owns the page, but its procedure is the component's: unload
  // must know of it, whoever closes it and whenever. A page unload could
  // not find is not handed out.
  if (page != nullptr && !own_windows.add(page)) {
    DestroyWindow(page);
    return nullptr;
  }
  return page;
}

}  // namespace dwx
