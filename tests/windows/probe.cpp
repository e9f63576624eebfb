// A helper the Windows end-to-end test runs under Wine beside scantouch.exe:
//   probe hook FILE SECONDS   writes every mouse event a low-level hook sees to FILE
//   probe close               asks the main window to close, as its close box does
//   probe shot FILE.png       saves the main window as a picture
// The main window is found by its window class.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kMainClass = L"ScantouchMain";
std::FILE* events = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM kind, LPARAM data) {
  if (code == HC_ACTION && events != nullptr) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    const char* name = kind == WM_MOUSEMOVE     ? "move"
                       : kind == WM_LBUTTONDOWN ? "down"
                       : kind == WM_LBUTTONUP   ? "up"
                                                : "other";
    std::fprintf(events, "%s %ld %ld %s\n", name, mouse->pt.x, mouse->pt.y,
                 (mouse->flags & LLMHF_INJECTED) != 0 ? "injected" : "real");
    std::fflush(events);
  }
  return CallNextHookEx(nullptr, code, kind, data);
}

int Hook(const char* file, int seconds) {
  events = std::fopen(file, "wb");  // LF line ends, for the Linux side
  if (events == nullptr)
    return 1;
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, GetModuleHandleW(nullptr), 0);
  if (hook == nullptr)
    return 1;
  std::fprintf(events, "ready\n");
  std::fflush(events);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  while (GetTickCount64() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  UnhookWindowsHookEx(hook);
  std::fclose(events);
  return 0;
}

std::uint32_t Crc(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0xFFFFFFFF) {
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type,
           const std::vector<std::uint8_t>& data) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  Put32(png, Crc(body.data(), body.size()) ^ 0xFFFFFFFF);
}

// A PNG of RGB rows, its image data in stored (uncompressed) deflate blocks.
bool WritePng(const char* file, int width, int height, const std::vector<std::uint8_t>& bgra) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* pixel = &bgra[(static_cast<std::size_t>(y) * width + x) * 4];
      raw.insert(raw.end(), {pixel[2], pixel[1], pixel[0]});
    }
  }
  std::vector<std::uint8_t> zlib{0x78, 0x01};
  for (std::size_t at = 0; at < raw.size(); at += 65535) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    zlib.push_back(at + length == raw.size() ? 1 : 0);
    zlib.push_back(static_cast<std::uint8_t>(length));
    zlib.push_back(static_cast<std::uint8_t>(length >> 8));
    zlib.push_back(static_cast<std::uint8_t>(~length));
    zlib.push_back(static_cast<std::uint8_t>(~length >> 8));
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + length));
  }
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(zlib, (b << 16) | a);
  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> header;
  Put32(header, static_cast<std::uint32_t>(width));
  Put32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", {});
  std::FILE* out = std::fopen(file, "wb");
  if (out == nullptr)
    return false;
  std::fwrite(png.data(), 1, png.size(), out);
  return std::fclose(out) == 0;
}

int Shot(const char* file) {
  HWND window = FindWindowW(kMainClass, nullptr);
  if (window == nullptr)
    return 1;
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  const std::vector<std::uint8_t> bgra(pixels,
                                       pixels + static_cast<std::size_t>(width) * height * 4);
  const bool saved = WritePng(file, width, height, bgra);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "hook" && argc == 4)
    return Hook(argv[2], std::atoi(argv[3]));
  if (command == "close") {
    HWND window = FindWindowW(kMainClass, nullptr);
    return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == "shot" && argc == 3)
    return Shot(argv[2]);
  std::fprintf(stderr, "usage: probe hook FILE SECONDS | probe close | probe shot FILE.png\n");
  return 2;
}
