#include "prefs/page_fixture.h"

#include "standin_host/abi.h"
#include "utf8api_testing.h"

void PreferencesPageTest::SetUp() {
  ComponentTest::SetUp();
  page_service = std::make_unique<standin::PreferencesPage>(
      component.create_service(standin::guids::preferences_page));
}

void PreferencesPageTest::TearDown() {
  // The page's procedure and the patched import table live in the module:
  // both go before it is unloaded.
  window.close();
  mixer.reset();
  spy.reset();
  utf8api_set_unicode(-1);
  ComponentTest::TearDown();
}

HWND PreferencesPageTest::open_page(const testing_support::BlobBuilder& blob) {
  component.start(blob);
  page = window.open(*page_service);
  return page;
}

testing_support::ScriptedMixer& PreferencesPageTest::script_mixer() {
  mixer = std::make_unique<testing_support::ScriptedMixer>(component.module());
  EXPECT_TRUE(mixer->applied());
  return *mixer;
}

testing_support::MixerSpy& PreferencesPageTest::spy_on_mixer() {
  spy = std::make_unique<testing_support::MixerSpy>(component.module());
  EXPECT_TRUE(spy->applied());
  return *spy;
}

std::vector<std::wstring> PreferencesPageTest::entries(int id) const {
  std::vector<std::wstring> texts;
  const LRESULT count = SendMessageW(item(id), CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(item(id), CB_GETLBTEXTLEN, i, 0)) + 1,
                      L'\0');
    SendMessageW(item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    texts.push_back(text);
  }
  return texts;
}

int PreferencesPageTest::selection(int id) const {
  return static_cast<int>(SendMessageW(item(id), CB_GETCURSEL, 0, 0));
}

bool PreferencesPageTest::shown(int id) const {
  return (GetWindowLongW(item(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void PreferencesPageTest::choose(int id, int index) {
  SendMessageW(item(id), CB_SETCURSEL, index, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(id)));
}

std::string PreferencesPageTest::winmm_text(UINT code) {
  wchar_t* text = nullptr;
  const DWORD units = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE,
                                     GetModuleHandleW(L"winmm"), code, 0,
                                     reinterpret_cast<wchar_t*>(&text), 256, nullptr);
  if (units == 0) return "";
  std::string utf8(static_cast<size_t>(units) * 3 + 1, '\0');
  utf8.resize(
      static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), &utf8[0],
                                              static_cast<int>(utf8.size()), nullptr, nullptr)));
  LocalFree(text);
  return utf8;
}
