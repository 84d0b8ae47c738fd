// Window screenshots as BMP files (shots.h).
#include "gui/shots.h"

#include <cstdio>

namespace {

// Runs its function when the scope ends.
template <class F> struct AtExit {
    F run;
    ~AtExit() { run(); }
};
template <class F> AtExit(F) -> AtExit<F>;

} // namespace

int SaveWindowShot(HWND window, const char *path)
{
    RECT area;
    if (window == nullptr || path == nullptr || !GetWindowRect(window, &area))
        return 0;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return 0;

    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 0;
    AtExit releaseScreen{[&] { ReleaseDC(nullptr, screen); }};
    HDC memory = CreateCompatibleDC(screen);
    if (memory == nullptr)
        return 0;
    AtExit deleteMemory{[&] { DeleteDC(memory); }};

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;   // bottom-up, as a BMP file stores its rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr)
        return 0;
    AtExit deleteDib{[&] { DeleteObject(dib); }};

    HGDIOBJ previous = SelectObject(memory, dib);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory, previous);
    if (!copied || bits == nullptr)
        return 0;

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    header.biSizeImage = imageSize;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;   // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;

    FILE *out = std::fopen(path, "wb");
    if (out == nullptr)
        return 0;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(bits, 1, imageSize, out) == imageSize;
    const bool closed = std::fclose(out) == 0;
    return written && closed ? 1 : 0;
}
