// Screen capture through GDI, and a small PNG writer (stored deflate blocks, no compression).
#include "standin_host/screenshot.h"

#include <cstdio>

#include "standin_host/crc32.h"

namespace standin {

namespace {

void put_u32_be(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put_u32_be(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put_u32_be(out, standin::crc32(&out[start], out.size() - start));
}

// A zlib stream of stored (uncompressed) blocks.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
    at += length;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put_u32_be(out, b << 16 | a);
  return out;
}

}  // namespace

Picture capture_screen(const RECT& rect) {
  Picture picture;
  picture.width = rect.right - rect.left;
  picture.height = rect.bottom - rect.top;
  if (picture.width <= 0 || picture.height <= 0) return Picture{};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(source, source + static_cast<size_t>(picture.width) * picture.height);
  for (uint32_t& pixel : picture.pixels)
    pixel &= 0x00FFFFFF;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture capture_window(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
  RECT rect;
  GetWindowRect(window, &rect);
  return capture_screen(rect);
}

std::vector<uint8_t> encode_png(const Picture& picture) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put_u32_be(header, static_cast<uint32_t>(picture.width));
  put_u32_be(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  put_chunk(out, "IHDR", header);
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(picture.height) * (1 + 3 * picture.width));
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t pixel = picture.at(x, y);
      raw.push_back(static_cast<uint8_t>(pixel >> 16));
      raw.push_back(static_cast<uint8_t>(pixel >> 8));
      raw.push_back(static_cast<uint8_t>(pixel));
    }
  }
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return out;
}

bool save_png(const Picture& picture, const std::string& path) {
  const std::vector<uint8_t> bytes = encode_png(picture);
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

std::string screenshot_path(const std::string& name) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  auto parent = [](const std::string& path) { return path.substr(0, path.find_last_of("\\/")); };
  std::string folder = parent(parent(exe));  // .../build, from .../build/bin/program.exe
  // The 64-bit test build, in build/win64, keeps its pictures with the product's.
  if (folder.size() >= 6 && _stricmp(folder.c_str() + folder.size() - 6, "\\win64") == 0) {
    folder = parent(folder);
  }
  folder += "\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name;
}

}  // namespace standin
