// The test bench's own screen capture and PNG writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/screenshot.h"

namespace {

using testing_support::Picture;

LRESULT CALLBACK red_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    RECT rect;
    GetClientRect(window, &rect);
    HBRUSH brush = CreateSolidBrush(RGB(200, 10, 20));
    FillRect(reinterpret_cast<HDC>(wparam), &rect, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

TEST(Screenshot, CapturesWhatTheWindowShows) {
  WNDCLASSW description = {};
  description.lpfnWndProc = red_window;
  description.hInstance = GetModuleHandleW(nullptr);
  description.lpszClassName = L"ScreenshotTestRed";
  RegisterClassW(&description);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"ScreenshotTestRed", L"", WS_POPUP | WS_VISIBLE, 40,
                                30, 64, 48, nullptr, nullptr, description.hInstance, nullptr);
  ASSERT_NE(nullptr, window);
  const Picture picture = testing_support::capture_window(window);
  ASSERT_EQ(64, picture.width);
  ASSERT_EQ(48, picture.height);
  EXPECT_EQ(0xC80A14u, picture.at(0, 0));
  EXPECT_EQ(0xC80A14u, picture.at(63, 47));
  DestroyWindow(window);
}

TEST(Screenshot, PngIsSignatureHeaderDataEnd) {
  Picture picture;
  picture.width = 3;
  picture.height = 2;
  picture.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF, 0x123456};
  const std::vector<uint8_t> png = testing_support::encode_png(picture);
  const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(png.size(), 8u + 25 + 12);
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  EXPECT_EQ(0, memcmp(&png[12], "IHDR", 4));
  // IHDR's CRC over "IHDR" and its 13 bytes (width 3, height 2, 8-bit RGB),
  // as zlib's crc32 gives it; every decoder checks it.
  EXPECT_EQ((std::vector<uint8_t>{0x12, 0x16, 0xF1, 0x4D}),
            std::vector<uint8_t>(png.begin() + 29, png.begin() + 33));
  // 2 rows of (filter byte + 9 bytes) stored raw: zlib header, one block, Adler-32.
  EXPECT_EQ(0, memcmp(&png[37], "IDAT", 4));
  EXPECT_EQ(2u + 5 + 20 + 4, png[36]);
  EXPECT_EQ(0, memcmp(&png[png.size() - 8], "IEND", 4));
}

}  // namespace
