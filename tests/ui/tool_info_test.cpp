// send_tool_info: the message and description sent, and a real tooltip receiving them.
#include "ui/tool_info.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "utf8api_testing.h"

namespace dwx {
namespace {

// What the recording window saw of the last message: the description as sent
// and its text read in the width the message implies, while it still existed.
struct Sent {
  UINT message = 0;
  WPARAM wparam = 0;
  ToolInfo description = {};
  std::wstring wide_text;
  std::string ansi_text;
};
Sent sent;

constexpr LRESULT recorder_result = 0x1234;

bool is_wide(UINT message) { return message == 0x432 || message == 0x439; }

LRESULT CALLBACK record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message < WM_USER) return DefWindowProcW(window, message, wparam, lparam);
  sent = Sent{};
  sent.message = message;
  sent.wparam = wparam;
  std::memcpy(&sent.description, reinterpret_cast<const void*>(lparam), sizeof(ToolInfo));
  const UINT_PTR text = reinterpret_cast<UINT_PTR>(sent.description.text);
  if (text >= 0x10000 && text != ~UINT_PTR{0}) {
    if (is_wide(message)) {
      sent.wide_text = reinterpret_cast<const wchar_t*>(sent.description.text);
    } else {
      sent.ansi_text = sent.description.text;
    }
  }
  return recorder_result;
}

HWND create_recorder() {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = record;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"dwx_tool_info_recorder";
  RegisterClassW(&window_class);  // a second registration fails harmlessly
  return CreateWindowExW(0, L"dwx_tool_info_recorder", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

ToolInfo description(const char* text) {
  ToolInfo info = {};
  info.size = 0;  // the bridge fills in the size itself
  info.flags = TTF_TRACK | TTF_ABSOLUTE;
  info.owner = reinterpret_cast<HWND>(0x5678);
  info.id = 7;
  info.rect = RECT{1, 2, 30, 40};
  info.instance = reinterpret_cast<HINSTANCE>(0x400000);
  info.text = text;
  info.lparam = 0x9ABC;
  return info;
}

class ToolInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder_ = create_recorder();
    ASSERT_NE(recorder_, nullptr) << "CreateWindowExW failed, error " << GetLastError();
  }
  void TearDown() override {
    utf8api_set_unicode(-1);
    DestroyWindow(recorder_);
  }
  HWND recorder_ = nullptr;
};

TEST_F(ToolInfoTest, MessageAndTextFormFollowIsUnicodeAndUpdate) {
  struct Case {
    int unicode;
    bool update;
    UINT message;
  };
  const Case cases[] = {{1, false, 0x432}, {1, true, 0x439}, {0, false, 0x404}, {0, true, 0x40C}};
  const char* const text = "-6.02 dB \xE2\x82\xAC\xC3\xA9";
  for (const Case& c : cases) {
    utf8api_set_unicode(c.unicode);
    const ToolInfo info = description(text);
    EXPECT_EQ(send_tool_info(recorder_, info, c.update), recorder_result);
    EXPECT_EQ(sent.message, c.message) << "unicode " << c.unicode << ", update " << c.update;
    EXPECT_EQ(sent.wparam, 0u);
    const ToolInfo& got = sent.description;
    EXPECT_EQ(got.size, TTTOOLINFOW_V2_SIZE) << "44 bytes on 32-bit";
    EXPECT_EQ(got.flags, info.flags);
    EXPECT_EQ(got.owner, info.owner);
    EXPECT_EQ(got.id, info.id);
    EXPECT_TRUE(EqualRect(&got.rect, &info.rect));
    EXPECT_EQ(got.instance, info.instance);
    EXPECT_EQ(got.lparam, info.lparam);
    if (c.unicode) {
      EXPECT_EQ(sent.wide_text, L"-6.02 dB \u20AC\u00E9");
    } else if (GetACP() == 1252) {
      EXPECT_EQ(sent.ansi_text, "-6.02 dB \x80\xE9");
    }
  }
}

TEST_F(ToolInfoTest, NullResourceIdAndCallbackTextsPassUnchanged) {
  const char* const texts[] = {nullptr, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(0xFFFF),
                               LPSTR_TEXTCALLBACKA};
  for (int unicode : {1, 0}) {
    utf8api_set_unicode(unicode);
    for (const char* text : texts) {
      send_tool_info(recorder_, description(text), false);
      EXPECT_EQ(sent.description.text, text) << "unicode " << unicode;
    }
  }
}

// A real tooltip: what it stores is what it was sent.
class TooltipTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr) << "owner: error " << GetLastError();
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, L"tooltips_class32", nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(tooltip_, nullptr) << "tooltip: error " << GetLastError();
    utf8api_set_unicode(GetParam());
  }
  void TearDown() override {
    utf8api_set_unicode(-1);
    if (tooltip_) DestroyWindow(tooltip_);
    if (owner_) DestroyWindow(owner_);
  }

  ToolInfo tool(const char* text) const {
    ToolInfo info = {};
    info.flags = TTF_TRACK | TTF_ABSOLUTE;
    info.owner = owner_;
    info.id = 1;
    info.text = text;
    return info;
  }

  std::wstring stored_text() const {
    wchar_t buffer[256] = {};
    TTTOOLINFOW query = {};
    query.cbSize = TTTOOLINFOW_V2_SIZE;
    query.hwnd = owner_;
    query.uId = 1;
    query.lpszText = buffer;
    SendMessageW(tooltip_, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&query));
    return buffer;
  }

  LRESULT tool_count() const { return SendMessageW(tooltip_, TTM_GETTOOLCOUNT, 0, 0); }

  HWND owner_ = nullptr;
  HWND tooltip_ = nullptr;
};

TEST_P(TooltipTest, AddThenUpdateReachTheTooltip) {
  const bool wide = GetParam() != 0;
  if (!wide && GetACP() != 1252) GTEST_SKIP() << "expectations are written for code page 1252";
  // U+4E2D is outside code page 1252: only the wide form keeps it.
  EXPECT_TRUE(send_tool_info(tooltip_, tool("Volume \xE2\x82\xAC \xE4\xB8\xAD"), false));
  EXPECT_EQ(tool_count(), 1);
  EXPECT_EQ(stored_text(), wide ? L"Volume \u20AC \u4E2D" : L"Volume \u20AC ?");

  send_tool_info(tooltip_, tool("-0.44 dB \xC3\xBC"), true);
  EXPECT_EQ(tool_count(), 1) << "an update adds no tool";
  EXPECT_EQ(stored_text(), L"-0.44 dB \u00FC");
}

INSTANTIATE_TEST_SUITE_P(WideAndAnsi, TooltipTest, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param ? "Wide" : "Ansi";
                         });

}  // namespace
}  // namespace dwx
