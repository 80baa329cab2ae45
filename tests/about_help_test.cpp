// The version box and the help file's place.
#include <gtest/gtest.h>

#include "about/AboutHelp.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Seam.h"

TEST(VersionText, ShowsTheThirdNumberOnlyWhenItIsNotZeroAndNeverTheFourth)
{
    EXPECT_EQ("0.3", VersionText(0x00000003, 0x00000000).str());
    EXPECT_EQ("1.2.3", VersionText(0x00010002, 0x00030004).str());
    EXPECT_EQ("1.2", VersionText(0x00010002, 0x00000004).str());
    EXPECT_EQ("10.20.30", VersionText(0x000A0014, 0x001E0000).str());
}

TEST(HelpFilePath, SitsBesideTheProgramWithAFixedName)
{
    EXPECT_EQ("C:\\Program Files\\Lirvan\\lirvan.hlp", HelpFilePath("C:\\Program Files\\Lirvan\\Lirvan.exe").str());
    EXPECT_EQ("D:\\lirvan.hlp", HelpFilePath("D:\\x.exe").str());
    EXPECT_EQ("C:\\ツール表\\lirvan.hlp", HelpFilePath("C:\\ツール表\\Renamed.exe").str());
    EXPECT_EQ("C:\\表\\lirvan.hlp", HelpFilePath("C:\\表\\表.exe").str());
}

using AboutBox = MainWindowTest;

TEST_F(AboutBox, ShowsTheToolNameAndTheProductVersion)
{
    const auto boxes = CommandAnswering(ID_HELP_ABOUT, {IDOK});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("シェルリンク調査ツール\n-------------------------------\nLirvan Version 0.3\n\n"
              "Copyright (C) 2026 Lirvan developers",
              boxes[0].text);
    EXPECT_EQ(Main(), boxes[0].owner);
}

using HelpCommands = MainWindowTest;

namespace {
DWORD g_majorVersion;
DWORD StandInVersion() { return g_majorVersion; }
}  // namespace

TEST_F(HelpCommands, HandTheShellTheHelpFileOrPageBesideTheProgramAndTheTwoAddresses)
{
    ShellRecorder shell;
    ScopedSeam<SystemVersionFunction> version(g_pfnSystemMajorVersion, &StandInVersion);
    // Windows Help up to 8.1 (6.3), the page from Windows 10 on.
    for (DWORD major : {10u, 6u}) {
        g_majorVersion = major;
        PressKey(List(), VK_F1);
    }
    Command(ID_WEB_HOME);
    Command(ID_WEB_BOARD);
    std::vector<ShellCall> calls = ShellRecorder::Calls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ(ProgramFolderOfTest() + "lirvan.html", calls[0].file);
    EXPECT_EQ(Main(), calls[0].owner);
    calls.erase(calls.begin());
    EXPECT_EQ(ProgramFolderOfTest() + "lirvan.hlp", calls[0].file);
    EXPECT_EQ(Main(), calls[0].owner);
    EXPECT_EQ(SW_SHOWNORMAL, calls[0].show);
    EXPECT_EQ("https://lirvan.example.jp/", calls[1].file);
    EXPECT_EQ("https://lirvan.example.jp/board/", calls[2].file);
    for (const ShellCall& call : calls) {
        EXPECT_EQ("open", call.verb);
        EXPECT_FALSE(call.hasParameters);
        EXPECT_FALSE(call.hasDirectory);
    }
    EXPECT_EQ(nullptr, calls[1].owner);
    EXPECT_EQ(SW_SHOW, calls[2].show);
}
