#include "survey/HotkeyNames.h"

#include <commctrl.h>

namespace {
// Fixed names of single keys; nullptr where the key code is shown as a number.
const char* FixedKeyName(unsigned key)
{
    switch (key) {
    case 0x13: return "Pause";
    case 0x14: return "Caps Lock";
    case 0x20: return "Space";
    case 0x21: return "Page Up";
    case 0x22: return "Page Down";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x29: return "Select";
    case 0x2A: return "Print";
    case 0x2B: return "Execute";
    case 0x2C: return "Print Screen";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    case 0x2F: return "Help";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6C: return "Num Enter";
    case 0x6D: return "Num -";
    case 0x6E: return "Num Del";
    case 0x6F: return "Num /";
    case 0x90: return "Num Lock";
    case 0x91: return "Scroll Lock";
    // The punctuation keys carry what the Japanese layout prints on them.
    case 0xBA: return ":";
    case 0xBB: return ";";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xBE: return ".";
    case 0xBF: return "/";
    case 0xC0: return "@";
    case 0xDB: return "[";
    case 0xDC: return "\\(上)";
    case 0xDD: return "]";
    case 0xDE: return "^";
    case 0xE2: return "\\(下)";
    case 0xE5: return "? (IME)";
    default: return nullptr;
    }
}

CString KeyName(unsigned key)
{
    CString name;
    if ((key >= 0x15 && key <= 0x1F) || (key >= 0xF0 && key <= 0xF5)) {
        name = "? (Kanji)";
    } else if (const char* fixed = FixedKeyName(key)) {
        name = fixed;
    } else if (key >= 0x30 && key <= 0x5A) {
        name.Format("%c", key);
    } else if (key >= 0x60 && key <= 0x69) {
        name.Format("Num %d", key - 0x60);
    } else if (key >= 0x70 && key <= 0x87) {
        name.Format("F%d", key - 0x6F);
    } else {
        name.Format("? (%x)", key);
    }
    return name;
}
}  // namespace

CString HotkeyToText(DWORD hotkey)
{
    const unsigned key = hotkey & 0xFF;
    const unsigned modifiers = (hotkey >> 8) & 0xFF;
    if (key == 0) return CString("なし");

    CString text;
    if (modifiers & HOTKEYF_CONTROL) text += "Ctrl + ";
    if (modifiers & HOTKEYF_SHIFT) text += "Shift + ";
    if (modifiers & HOTKEYF_ALT) text += "Alt + ";
    return text + KeyName(key);
}
