// Reading and writing real link files through the shell link service.
#include <gtest/gtest.h>

#include "survey/ShellLink.h"
#include "support/LinkFiles.h"
#include "support/Seam.h"

namespace {
ShortcutInfo Read(const std::string& path, HRESULT* status)
{
    ShortcutInfo info = {};
    info.strLinkPath = AnsiToWide(path.c_str());
    *status = ReadShellLink(nullptr, &info);
    return info;
}

// The write, with code-page texts.
HRESULT Write(const char* path, const char* target, const char* arguments, const char* workDir, WORD hotkey,
              int runSize, const char* iconPath, int iconIndex)
{
    return WriteShellLink(AnsiToWide(path), AnsiToWide(target), AnsiToWide(arguments), AnsiToWide(workDir), hotkey,
                          runSize, AnsiToWide(iconPath), iconIndex);
}

// A save that starts writing where it was told and then finds the disk full.
HRESULT SaveHalfway(IPersistFile*, const WCHAR* path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "L\0\0\0", 4, &written, nullptr);
    ::CloseHandle(file);
    return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
}
}  // namespace

class ShellLinkTest : public ::testing::Test {
protected:
    ComScope com;
    TempTree tree;
};

TEST_F(ShellLinkTest, ReadsBackEveryPropertyOfALinkMadeByTheServiceOrWritten)
{
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("tool.lnk"), {kNotepad, "-a,b /c", "C:\\windows\\temp", 0x0641, SW_SHOWNORMAL, kShell32, 7}));
    ASSERT_GE(Write(tree.Path("new.lnk").c_str(), "C:\\windows\\regedit.exe", "x,y", "C:\\windows", 0x0246, 0,
                    "C:\\windows\\regedit.exe", 0),
              0);
    const struct Case {
        const char* name;
        const WCHAR *target, *arguments, *workDir;
        WORD hotkey;
        const WCHAR* iconPath;
        int iconIndex;
    } cases[] = {
        {"tool.lnk", L"C:\\windows\\notepad.exe", L"-a,b /c", L"C:\\windows\\temp", 0x0641, L"C:\\windows\\system32\\shell32.dll", 7},
        {"new.lnk", L"C:\\windows\\regedit.exe", L"x,y", L"C:\\windows", 0x0246, L"C:\\windows\\regedit.exe", 0},
    };
    for (const Case& c : cases) {
        HRESULT status;
        const ShortcutInfo info = Read(tree.Path(c.name), &status);
        ASSERT_GE(status, 0) << c.name;
        EXPECT_STREQ(c.target, info.strTarget) << c.name;
        EXPECT_STREQ(c.arguments, info.strArguments) << c.name;
        EXPECT_STREQ(c.workDir, info.strWorkDir) << c.name;
        EXPECT_EQ(c.hotkey, info.wHotkey) << c.name;
        EXPECT_STREQ(c.iconPath, info.strIconPath) << c.name;
        EXPECT_EQ(c.iconIndex, info.nIconIndex) << c.name;
    }
}

TEST_F(ShellLinkTest, AFileThatIsNoLinkFailsToRead)
{
    const std::string path = tree.Path("fake.lnk");
    WriteTextFile(path, "this is not a shell link");
    HRESULT status;
    Read(path, &status);
    EXPECT_LT(status, 0);
    Read(tree.Path("missing.lnk"), &status);
    EXPECT_LT(status, 0);
}

TEST_F(ShellLinkTest, RunSizeIndexBecomesTheStoredShowCommand)
{
    // The service reports 1 after loading whatever is stored, so read the file's header.
    struct Case { int runSize; int showCmd; } cases[] = {{1, 7}, {2, 3}, {0, 1}, {-1, 1}, {5, 1}};
    for (const Case& c : cases) {
        const std::string path = tree.Path("size" + std::to_string(c.runSize + 1) + ".lnk");
        ASSERT_GE(Write(path.c_str(), "C:\\windows\\notepad.exe", "", "", 0, c.runSize, "", 0), 0);
        EXPECT_EQ(c.showCmd, StoredShowCmd(path)) << "run size " << c.runSize;
    }
}

TEST_F(ShellLinkTest, WritingAnExistingLinkKeepsItsDescription)
{
    const std::string path = tree.Path("described.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, {kNotepad, "", "", 0, SW_SHOWNORMAL, "", 0, "メモ帳を開く"}));
    ASSERT_GE(Write(path.c_str(), kNotepad, "", "", 0x0241, 2, "", 0), 0);
    EXPECT_EQ("メモ帳を開く", LinkDescription(path));
    EXPECT_EQ(3, StoredShowCmd(path));
}

TEST_F(ShellLinkTest, AWriteThatCannotSaveFailsAndLeavesTheFile)
{
    // Held open by someone who lets nobody else write (root ignores read-only files).
    const std::string path = tree.Path("locked.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, LinkSpec()));
    const auto before = FileBytes(path);
    HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_LT(Write(path.c_str(), "C:\\windows\\regedit.exe", "", "", 0, 2, "", 0), 0);
    ::CloseHandle(holder);
    EXPECT_EQ(before, FileBytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"locked.lnk"}, NamesInW(Wide(tree.Root())));

    EXPECT_LT(Write(tree.Path("no such folder\\x.lnk").c_str(), "C:\\windows\\notepad.exe", "", "", 0,
                             0, "", 0),
              0);
}

TEST_F(ShellLinkTest, ASaveThatFailsHalfwayLeavesTheLinkWholeAndNothingBesideIt)
{
    const std::string path = tree.Path("kept.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, LinkSpec()));
    const auto before = FileBytes(path);
    {
        ScopedSeam<SaveLinkFunction> swap(g_pfnSaveLink, &SaveHalfway);
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL),
                  Write(path.c_str(), "C:\\windows\\regedit.exe", "", "", 0, 2, "", 0));
    }
    EXPECT_EQ(before, FileBytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"kept.lnk"}, NamesInW(Wide(tree.Root())));
}

TEST_F(ShellLinkTest, AWrittenLinkKeepsItsHiddenAndSystemAttributes)
{
    const std::string path = tree.Path("secret.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, LinkSpec()));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_GE(Write(path.c_str(), "C:\\windows\\regedit.exe", "", "", 0, 2, "", 0), 0);
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(3, StoredShowCmd(path));
    EXPECT_EQ(std::vector<std::wstring>{L"secret.lnk"}, NamesInW(Wide(tree.Root())));
}

// The service never sees it in this process (a reader process reads links).
TEST_F(ShellLinkTest, ADamagedLinkIsNeverRewritten)
{
    const std::string good = tree.Path("good.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(good, LinkSpec()));
    for (const std::string& bytes : {LinkWithRunawayItem(FileBytesW(Wide(good))), std::string("not a link")}) {
        const std::string path = tree.Path("damaged.lnk");
        WriteTextFile(path, bytes);
        EXPECT_LT(Write(path.c_str(), "C:\\windows\\regedit.exe", "", "", 0x0641, 2, "", 0), 0);
        EXPECT_EQ(bytes, FileBytes(path));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"damaged.lnk", L"good.lnk"}), NamesInW(Wide(tree.Root())));
}
