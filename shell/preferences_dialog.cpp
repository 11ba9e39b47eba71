// The preferences window and the pages it hosts.
#include "shell/preferences_dialog.h"

#include <string>

#include "shell/text.h"

namespace shell {

namespace {
constexpr wchar_t frame_class[] = L"PlinvoxPreferences";
constexpr int list_id = 10, close_id = 11;
constexpr int list_width = 230, margin = 8;
}  // namespace

PreferencesDialog::PreferencesDialog(HWND owner, std::vector<Page>& pages) : pages_(pages) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = frame_class;
  RegisterClassW(&window_class);  // already there from an earlier opening
  RECT owner_rect = {};
  GetWindowRect(owner, &owner_rect);
  frame_ = CreateWindowExW(WS_EX_DLGMODALFRAME, frame_class, L"Preferences",
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                           owner_rect.left + 40, owner_rect.top + 60, 680, 260, owner, nullptr,
                           GetModuleHandleW(nullptr), this);
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                          0, 0, 0, frame_, reinterpret_cast<HMENU>(list_id),
                          GetModuleHandleW(nullptr), nullptr);
  close_ = CreateWindowExW(0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0,
                           frame_, reinterpret_cast<HMENU>(close_id), GetModuleHandleW(nullptr),
                           nullptr);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(close_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const Page& page : pages_) {
    const std::wstring entry = widen(page.parent_name + " \xE2\x80\xBA " + page.name);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  layout();
  ShowWindow(frame_, SW_SHOW);
  if (!pages_.empty()) show(0);
}

PreferencesDialog::~PreferencesDialog() {
  if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
  if (frame_ != nullptr && IsWindow(frame_)) {
    SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
    DestroyWindow(frame_);
  }
}

void PreferencesDialog::show(size_t index) {
  if (index >= pages_.size()) return;
  if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
  SendMessageW(list_, LB_SETCURSEL, index, 0);
  page_ = pages_[index].page.create(frame_);
  if (page_ == nullptr) return;
  SetWindowPos(page_, HWND_TOP, list_width + 2 * margin, margin, 0, 0, SWP_NOSIZE);
  ShowWindow(page_, SW_SHOW);
}

bool PreferencesDialog::take_dialog_message(MSG& message) {
  return page_ != nullptr && IsWindow(page_) && IsDialogMessageW(page_, &message);
}

void PreferencesDialog::layout() {
  RECT area;
  GetClientRect(frame_, &area);
  MoveWindow(list_, margin, margin, list_width, area.bottom - 2 * margin, TRUE);
  MoveWindow(close_, area.right - margin - 80, area.bottom - margin - 26, 80, 26, TRUE);
}

LRESULT CALLBACK PreferencesDialog::procedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PreferencesDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(wparam) == list_id && HIWORD(wparam) == LBN_SELCHANGE) {
          self->show(static_cast<size_t>(SendMessageW(self->list_, LB_GETCURSEL, 0, 0)));
          return 0;
        }
        if (LOWORD(wparam) == close_id) {
          DestroyWindow(window);
          return 0;
        }
        break;
      case WM_CLOSE:
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:
        self->page_ = nullptr;  // destroyed with its parent
        self->frame_ = nullptr;
        break;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace shell
