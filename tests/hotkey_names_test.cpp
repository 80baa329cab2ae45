#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "survey/HotkeyNames.h"
#include "support/TestHelpers.h"

namespace {
std::string Text(DWORD hotkey) { return HotkeyToText(hotkey).str(); }
}

TEST(HotkeyToText, NamedExamples)
{
    struct Case { DWORD hotkey; const char* text; } cases[] = {
        {0x0000, "なし"},          {0x0600, "なし"},
        {0x0241, "Ctrl + A"},      {0x0741, "Ctrl + Shift + Alt + A"},
        {0x0541, "Shift + Alt + A"}, {0x0841, "A"},
        {0xF041, "A"},             {0x0670, "Ctrl + Alt + F1"},
        {0x0087, "F24"},           {0x0088, "? (88)"},
        {0x0060, "Num 0"},         {0x006C, "Num Enter"},
        {0x006E, "Num Del"},       {0x001B, "? (Kanji)"},
        {0x0019, "? (Kanji)"},     {0x00E5, "? (IME)"},
        {0x00F3, "? (Kanji)"},     {0x0008, "? (8)"},
        {0x000D, "? (d)"},         {0x005B, "? (5b)"},
        {0x00FF, "? (ff)"},        {0x003A, ":"},
        {0x00BA, ":"},             {0x0040, "@"},
        {0x00C0, "@"},             {0x0030, "0"},
        {0x0013, "Pause"},         {0x0020, "Space"},
        {0x0090, "Num Lock"},      {0x0091, "Scroll Lock"},
        {0x00DB, "["},             {0x00DE, "^"},
        {0xABCD0241, "Ctrl + A"},  // only the low 16 bits count
        {0xFFFF0000, "なし"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, Text(c.hotkey)) << std::hex << c.hotkey;
}

TEST(HotkeyToText, YenKeysAreFiveBytesWithAKanji)
{
    EXPECT_EQ(std::string("\x5C(\x8F\xE3)", 5), Text(0x00DC));  // \(上)
    EXPECT_EQ(std::string("\x5C(\x89\xBA)", 5), Text(0x00E2));  // \(下)
}

TEST(HotkeyToText, ModifiersAlwaysReadCtrlShiftAlt)
{
    const char* prefixes[8] = {"", "Shift + ", "Ctrl + ", "Ctrl + Shift + ",
                               "Alt + ", "Shift + Alt + ", "Ctrl + Alt + ", "Ctrl + Shift + Alt + "};
    for (DWORD high = 0; high < 0x100; ++high) {
        // The extended-key bit and bits 0x10-0x80 add nothing.
        EXPECT_EQ(std::string(prefixes[high & 7]) + "Z", Text((high << 8) | 'Z')) << std::hex << high;
    }
}

// Every key code against the ranges of the naming table.
TEST(HotkeyToText, EveryKeyCodeFollowsItsRange)
{
    auto hex = [](unsigned key) { char b[16]; std::snprintf(b, sizeof b, "? (%x)", key); return std::string(b); };
    const char* fixed[256] = {};
    const char* names[][2] = {{"\x13", "Pause"}, {"\x14", "Caps Lock"}, {"\x20", "Space"}, {"\x21", "Page Up"},
                              {"\x22", "Page Down"}, {"\x23", "End"}, {"\x24", "Home"}, {"\x25", "Left"},
                              {"\x26", "Up"}, {"\x27", "Right"}, {"\x28", "Down"}, {"\x29", "Select"},
                              {"\x2A", "Print"}, {"\x2B", "Execute"}, {"\x2C", "Print Screen"}, {"\x2D", "Ins"},
                              {"\x2E", "Del"}, {"\x2F", "Help"}, {"\x6A", "Num *"}, {"\x6B", "Num +"},
                              {"\x6C", "Num Enter"}, {"\x6D", "Num -"}, {"\x6E", "Num Del"}, {"\x6F", "Num /"},
                              {"\x90", "Num Lock"}, {"\x91", "Scroll Lock"}, {"\xBA", ":"}, {"\xBB", ";"},
                              {"\xBC", ","}, {"\xBD", "-"}, {"\xBE", "."}, {"\xBF", "/"}, {"\xC0", "@"},
                              {"\xDB", "["}, {"\xDD", "]"}, {"\xDE", "^"}, {"\xE5", "? (IME)"}};
    for (auto& n : names) fixed[static_cast<unsigned char>(n[0][0])] = n[1];

    for (unsigned key = 1; key < 256; ++key) {
        std::string expected;
        if (fixed[key]) expected = fixed[key];
        else if ((key >= 0x15 && key <= 0x1F) || (key >= 0xF0 && key <= 0xF5)) expected = "? (Kanji)";
        else if (key >= 0x30 && key <= 0x5A) expected = std::string(1, static_cast<char>(key));
        else if (key >= 0x60 && key <= 0x69) expected = "Num " + std::to_string(key - 0x60);
        else if (key >= 0x70 && key <= 0x87) expected = "F" + std::to_string(key - 0x6F);
        else if (key == 0xDC || key == 0xE2) continue;  // checked byte for byte above
        else expected = hex(key);
        EXPECT_EQ(expected, Text(key)) << "key 0x" << std::hex << key;
    }
}
