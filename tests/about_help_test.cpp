// The version box and the help file's place.
#include <gtest/gtest.h>

#include "about/AboutHelp.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"

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
    DialogAnswerer box(AppCaption(), IDOK);
    Command(ID_HELP_ABOUT);
    ASSERT_TRUE(box.WaitAnswered());
    EXPECT_EQ("シェルリンク調査ツール\n-------------------------------\nLirvan Version 0.3\n\n"
              "Copyright (C) 2026 Lirvan developers",
              box.Text());
    EXPECT_EQ(Main(), box.Owner());
}
