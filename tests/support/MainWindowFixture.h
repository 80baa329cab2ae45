// Creates the real main window from its resources, as the program does, and
// pumps its messages the way the modal loop does.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "app/LinkSurveyApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "support/TestHelpers.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg = std::make_unique<CLinkSurveyDlg>();
        ASSERT_TRUE(dlg->Create(nullptr));
        theApp.m_pMainWnd = dlg.get();
        PumpPending();
    }

    void TearDown() override
    {
        // Any survey ends before the window goes.
        if (dlg && dlg->m_hWnd) PressKey(List(), VK_ESCAPE);
        theApp.m_pMainWnd = nullptr;
        dlg.reset();
        PumpPending();
    }

    HWND Main() const { return dlg->m_hWnd; }
    HWND List() const { return ::GetDlgItem(dlg->m_hWnd, 1000); }
    HMENU Menu() const { return ::GetMenu(dlg->m_hWnd); }
    // Close (position 6 of the system menu) greyed: the window is busy.
    bool IsBusy() const
    {
        HMENU system = ::GetSystemMenu(dlg->m_hWnd, FALSE);
        return system && (::GetMenuState(system, 6, MF_BYPOSITION) & 0xFF) != 0;
    }
    void Command(UINT id)
    {
        ::SendMessageA(Main(), WM_COMMAND, id, 0);
        PumpPending();
    }
    int RowCount() const { return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const { return dlg->m_listCtrl.GetItemText(row, column).str(); }

    std::unique_ptr<CLinkSurveyDlg> dlg;
};
