// The preferences window and the pages it hosts.
#include "shell/preferences_dialog.h"

#include <string>

#include "shell/screen.h"
#include "shell/text.h"

namespace shell {

namespace {
constexpr wchar_t frame_class[] = L"PlinvoxPreferences";
constexpr int list_id = 10, close_id = 11;
// Sizes at 96 DPI.
constexpr int frame_width = 680, frame_height = 260, list_width = 230, margin = 8;
constexpr int button_width = 80, button_height = 26;
}  // namespace

PreferencesDialog::PreferencesDialog(HWND owner, std::vector<Page>& pages,
                                     const PreferencesPlace& last, int dpi)
    : pages_(pages), dpi_(dpi), place_(last) {
  standin::register_window_class(frame_class);
  POINT position = last.position;
  if (!last.known) {
    RECT owner_rect = {};
    GetWindowRect(owner, &owner_rect);
    position = POINT{owner_rect.left + scaled(40, dpi), owner_rect.top + scaled(60, dpi)};
  }
  const RECT rect =
      fit_on_screen(RECT{position.x, position.y, position.x + scaled(frame_width, dpi),
                         position.y + scaled(frame_height, dpi)});
  // A control parent, so that Tab goes on into the page's controls.
  frame_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, frame_class, L"Preferences",
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                           GetModuleHandleW(nullptr), static_cast<standin::WindowOwner*>(this));
  font_ = CreateFontW(-scaled(11, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                      L"MS Shell Dlg");
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                          0, 0, 0, frame_, reinterpret_cast<HMENU>(list_id),
                          GetModuleHandleW(nullptr), nullptr);
  close_ = CreateWindowExW(0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0,
                           frame_, reinterpret_cast<HMENU>(close_id), GetModuleHandleW(nullptr),
                           nullptr);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(close_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const Page& page : pages_) {
    const std::wstring entry = widen(page.parent_name + " \xE2\x80\xBA " + page.name);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  layout();
  ShowWindow(frame_, SW_SHOW);
  if (!pages_.empty()) show(last.page < pages_.size() ? last.page : 0);
  SetFocus(list_);
}

PreferencesDialog::~PreferencesDialog() {
  if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
  if (frame_ != nullptr && IsWindow(frame_)) {
    standin::disown_window(frame_);
    DestroyWindow(frame_);
  }
  if (font_ != nullptr) DeleteObject(font_);
}

PreferencesPlace PreferencesDialog::place() const {
  PreferencesPlace place = place_;
  if (open()) {
    RECT rect = {};
    GetWindowRect(frame_, &rect);
    place.known = true;
    place.position = POINT{rect.left, rect.top};
  }
  return place;
}

void PreferencesDialog::show(size_t index) {
  if (index >= pages_.size()) return;
  if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
  SendMessageW(list_, LB_SETCURSEL, index, 0);
  place_.page = index;
  page_ = pages_[index].page.create(frame_);
  if (page_ == nullptr) return;
  SetWindowLongPtrW(page_, GWL_EXSTYLE,
                    GetWindowLongPtrW(page_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  // Between the list and the Close button in the order of Tab.
  SetWindowPos(page_, list_, scaled(list_width + 2 * margin, dpi_), scaled(margin, dpi_), 0, 0,
               SWP_NOSIZE);
  ShowWindow(page_, SW_SHOW);
}

bool PreferencesDialog::take_dialog_message(MSG& message) {
  return open() && (message.hwnd == frame_ || IsChild(frame_, message.hwnd)) &&
         IsDialogMessageW(frame_, &message);
}

void PreferencesDialog::layout() {
  RECT area;
  GetClientRect(frame_, &area);
  const int gap = scaled(margin, dpi_);
  MoveWindow(list_, gap, gap, scaled(list_width, dpi_), area.bottom - 2 * gap, TRUE);
  const int width = scaled(button_width, dpi_), height = scaled(button_height, dpi_);
  MoveWindow(close_, area.right - gap - width, area.bottom - gap - height, width, height, TRUE);
}

void PreferencesDialog::close() {
  place_ = place();
  DestroyWindow(frame_);
}

LRESULT PreferencesDialog::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == list_id && HIWORD(wparam) == LBN_SELCHANGE) {
        show(static_cast<size_t>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      // The Close button, and Escape anywhere in the window.
      if (LOWORD(wparam) == close_id || LOWORD(wparam) == IDCANCEL) {
        close();
        return 0;
      }
      break;
    case WM_CLOSE:
      close();
      return 0;
    case WM_DESTROY:
      page_ = nullptr;  // destroyed with its parent
      frame_ = nullptr;
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace shell
