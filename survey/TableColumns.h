// The survey table's columns: their header texts and the arithmetic of their widths.
#pragma once
#include "framework/Dpi.h"

constexpr int kColumnCount = 8;
extern const char* const kColumnHeaders[kColumnCount];

// Each of the n columns gets the list's outer width divided by n (truncated).
inline int ColumnShare(int listWidth, int columnCount) { return listWidth / columnCount; }
// The last column leaves room for the vertical scroll bar, 30 pixels at 96 DPI.
inline int LastColumnWidth(int lastHeaderItemWidth, UINT dpi)
{
    return lastHeaderItemWidth - ScaleForDpi(30, kBaseDpi, dpi);
}
// A width reaches the list as its low 16 bits, unclamped: -1 is LVSCW_AUTOSIZE.
inline unsigned ColumnWidthParam(int width) { return static_cast<unsigned>(width) & 0xFFFFu; }
