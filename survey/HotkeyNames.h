// The display text of a shortcut key, as the Japanese keyboard names its keys.
#pragma once
#include <windows.h>

#include "framework/AfxString.h"

// Only the low 16 bits are read: key code, then the HOTKEYF_ modifiers.
CString HotkeyToText(DWORD hotkey);
