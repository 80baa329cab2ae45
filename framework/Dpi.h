// Dots per inch. The program's pixel sizes are given for 96 DPI (the system's
// 100 %) and scaled from there to the DPI of the window that shows them.
#pragma once
#include <windows.h>

constexpr UINT kBaseDpi = 96;

// The DPI a window is drawn at: its monitor's where the system scales per
// monitor (Windows 10 and later), else the screen's.
UINT GetWindowDpi(HWND hWnd);

// A size for one DPI at another, rounded to the nearest pixel.
inline int ScaleForDpi(int size, UINT fromDpi, UINT toDpi)
{
    return ::MulDiv(size, static_cast<int>(toDpi), static_cast<int>(fromDpi));
}
