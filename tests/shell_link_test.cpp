// Reading and writing real link files through the shell link service.
#include <gtest/gtest.h>

#include "survey/ShellLink.h"
#include "support/LinkFiles.h"

namespace {
ShortcutInfo Read(const std::string& path, HRESULT* status)
{
    ShortcutInfo info = {};
    lstrcpynA(info.szLinkPath, path.c_str(), MAX_PATH);
    *status = ReadShellLink(nullptr, &info);
    return info;
}
}  // namespace

class ShellLinkTest : public ::testing::Test {
protected:
    ComScope com;
    TempTree tree;
};

TEST_F(ShellLinkTest, ReadsBackEveryPropertyOfALink)
{
    const std::string path = tree.Path("tool.lnk");
    LinkSpec sample;
    sample.arguments = "-a,b /c";
    sample.workDir = "C:\\windows\\temp";
    sample.hotkey = 0x0641;
    sample.iconPath = "C:\\windows\\system32\\shell32.dll";
    sample.iconIndex = 7;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, sample));

    HRESULT status;
    const ShortcutInfo info = Read(path, &status);
    ASSERT_GE(status, 0);
    EXPECT_STREQ("C:\\windows\\notepad.exe", info.szTarget);
    EXPECT_STREQ("-a,b /c", info.szArguments);
    EXPECT_STREQ("C:\\windows\\temp", info.szWorkDir);
    EXPECT_EQ(0x0641, info.wHotkey);
    EXPECT_STREQ("C:\\windows\\system32\\shell32.dll", info.szIconPath);
    EXPECT_EQ(7, info.nIconIndex);
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

TEST_F(ShellLinkTest, WriteRoundTripsTheSixProperties)
{
    const std::string path = tree.Path("new.lnk");
    ASSERT_GE(WriteShellLink(path.c_str(), "C:\\windows\\regedit.exe", "x,y", "C:\\windows", 0x0246, 0,
                             "C:\\windows\\regedit.exe", 0),
              0);
    HRESULT status;
    const ShortcutInfo info = Read(path, &status);
    ASSERT_GE(status, 0);
    EXPECT_STREQ("C:\\windows\\regedit.exe", info.szTarget);
    EXPECT_STREQ("x,y", info.szArguments);
    EXPECT_STREQ("C:\\windows", info.szWorkDir);
    EXPECT_EQ(0x0246, info.wHotkey);
    EXPECT_STREQ("C:\\windows\\regedit.exe", info.szIconPath);
    EXPECT_EQ(0, info.nIconIndex);
}

TEST_F(ShellLinkTest, RunSizeIndexBecomesTheStoredShowCommand)
{
    // The service reports 1 after loading whatever is stored, so read the file's header.
    struct Case { int runSize; int showCmd; } cases[] = {{1, 7}, {2, 3}, {0, 1}, {-1, 1}, {5, 1}};
    for (const Case& c : cases) {
        const std::string path = tree.Path("size" + std::to_string(c.runSize + 1) + ".lnk");
        ASSERT_GE(WriteShellLink(path.c_str(), "C:\\windows\\notepad.exe", "", "", 0, c.runSize, "", 0), 0);
        EXPECT_EQ(c.showCmd, StoredShowCmd(path)) << "run size " << c.runSize;
    }
}

TEST_F(ShellLinkTest, WritingAnExistingLinkKeepsItsDescription)
{
    const std::string path = tree.Path("described.lnk");
    LinkSpec sample;
    sample.description = "メモ帳を開く";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(path, sample));
    ASSERT_GE(WriteShellLink(path.c_str(), sample.target.c_str(), "", "", 0x0241, 2, "", 0), 0);
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
    EXPECT_LT(WriteShellLink(path.c_str(), "C:\\windows\\regedit.exe", "", "", 0, 2, "", 0), 0);
    ::CloseHandle(holder);
    EXPECT_EQ(before, FileBytes(path));

    EXPECT_LT(WriteShellLink(tree.Path("no such folder\\x.lnk").c_str(), "C:\\windows\\notepad.exe", "", "", 0,
                             0, "", 0),
              0);
}
