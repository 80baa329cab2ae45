// The help file shipped beside the program opens in the Windows help viewer and
// shows the whole guide it was made from.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "support/TestHelpers.h"

namespace {

std::string Sjis(const std::string& utf8)
{
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring w(wide, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], wide);
    int bytes = WideCharToMultiByte(932, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(bytes, '\0');
    WideCharToMultiByte(932, 0, w.data(), wide, &out[0], bytes, nullptr, nullptr);
    return out;
}

// The guide's lines as the viewer lays them out: one paragraph each.
std::string GuideAsParagraphs()
{
    std::ifstream in(SourcePath("res\\help\\guide.txt"), std::ios::binary);
    std::string line, text;
    while (std::getline(in, line)) text += Sjis(line) + "\r\n";
    return text;
}

std::string ClassOf(HWND wnd)
{
    char name[64] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

// The text of a window of another process. Its length is not asked first: the
// rich edit control under Wine answers WM_GETTEXTLENGTH from another process with 0.
std::string TextOf(HWND wnd)
{
    std::string text(64 * 1024, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(wnd, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

HWND RichEditIn(HWND top)
{
    HWND found = nullptr;
    EnumChildWindows(top, [](HWND wnd, LPARAM p) -> BOOL {
        if (ClassOf(wnd).rfind("RichEdit", 0) != 0) return TRUE;
        *reinterpret_cast<HWND*>(p) = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}
}  // namespace

TEST(HelpFile, OpensInTheHelpViewerWithItsTitleAndTheWholeGuide)
{
    // The build puts the help file beside Lirvan.exe, one folder above the tests.
    const std::string helpFile = ProgramFolderOfTest() + "..\\lirvan.hlp";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(helpFile.c_str())) << helpFile;

    // Windows keeps the viewer in its own folder, Wine in the system folder.
    char viewer[MAX_PATH] = {};
    if (!SearchPathA(nullptr, "winhlp32.exe", nullptr, MAX_PATH, viewer, nullptr))
        GTEST_SKIP() << "this system has no Windows help viewer";

    ChildProcess help(viewer, helpFile);
    HWND top = help.WaitForWindow();
    ASSERT_NE(nullptr, top);
    // A file the viewer cannot read shows an error box instead of the help window.
    EXPECT_NE("#32770", ClassOf(top)) << Utf8(TextOf(top));
    EXPECT_EQ(0u, TextOf(top).rfind("Lirvan ヘルプ", 0)) << Utf8(TextOf(top));

    HWND text = nullptr;
    std::string shown;
    PumpUntil([&] { return (text = RichEditIn(top)) != nullptr && !(shown = TextOf(text)).empty(); });
    ASSERT_NE(nullptr, text);
    std::string expected = GuideAsParagraphs();
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
    while (!expected.empty() && (expected.back() == '\r' || expected.back() == '\n')) expected.pop_back();
    EXPECT_EQ(Utf8(expected), Utf8(shown));
}

TEST(HelpPage, HoldsTheWholeGuideOneElementALineAndSitsBesideTheProgram)
{
    std::ifstream page(ProgramFolderOfTest() + "..\\lirvan.html", std::ios::binary);
    ASSERT_TRUE(page.good());
    std::ifstream guide(SourcePath("res\\help\\guide.txt"), std::ios::binary);
    std::string line, expected, shown;
    while (std::getline(guide, line)) expected += line + "\n";
    bool inBody = false;
    while (std::getline(page, line)) {
        if (line == "</body>") break;
        if (inBody) {
            // The text without its tag, entities read back.
            std::string text = line.substr(line.find('>') + 1);
            text.erase(text.rfind("</"));
            for (auto [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#x27;", "'"},
                                     {"&amp;", "&"}}) {
                for (size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, strlen(entity), c);
            }
            shown += text + "\n";
        }
        inBody = inBody || line == "<body>";
    }
    EXPECT_EQ(expected, shown) << "run scripts/make-help.py after changing the guide";
}
