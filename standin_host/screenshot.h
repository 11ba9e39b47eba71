// Pictures of windows on the test display, saved as PNG files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// Pixels as 0x00RRGGBB, row by row from the top.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What the screen shows inside the window's rectangle (the window itself,
// and whatever lies on top of it, such as a tooltip). Paints pending
// updates first.
Picture capture_window(HWND window);
// The same for a rectangle of the screen.
Picture capture_screen(const RECT& rect);

// Writes the picture as an uncompressed PNG; false if the file can't be written.
bool save_png(const Picture& picture, const std::string& path);
// PNG bytes, for tests of the encoder itself.
std::vector<uint8_t> encode_png(const Picture& picture);

// Where tests and the shell leave their pictures: build/screenshots/, beside build/bin/.
std::string screenshot_path(const std::string& name);

}  // namespace standin
