// Creates the real main window from its resources, as the program does, and
// pumps its messages the way the modal loop does.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/LinkSurveyApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "support/TableRows.h"
#include "support/TestHelpers.h"

// `Window` is the main window's class or one derived from it.
template <typename Window>
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg = std::make_unique<Window>();
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
        // A destroyed main window posts WM_QUIT: take it out of the queue.
        PumpPending();
    }

    HWND Main() const { return dlg->m_hWnd; }
    HWND List() const { return ::GetDlgItem(dlg->m_hWnd, 1000); }
    HMENU Menu() const { return ::GetMenu(dlg->m_hWnd); }
    bool Alive() const { return dlg->m_hWnd != nullptr && ::IsWindow(dlg->m_hWnd); }
    // Close, position 6 of the system menu: the menu's default item, greyed while busy.
    UINT CloseState() const { return ::GetMenuState(::GetSystemMenu(Main(), FALSE), 6, MF_BYPOSITION); }
    bool IsBusy() const { return (CloseState() & ~static_cast<UINT>(MF_DEFAULT)) != 0; }
    void Command(UINT id)
    {
        ::SendMessageA(Main(), WM_COMMAND, id, 0);
        PumpPending();
    }
    // Surveys a folder as F5 does.
    void StartSurvey(const std::string& folder)
    {
        dlg->m_strFolder = AnsiToWide(folder.c_str());
        PressKey(List(), VK_F5);
    }
    bool SurveyEnded() const { return MenuState(Menu(), ID_TOOL_SCAN) == MF_ENABLED && !IsBusy(); }
    bool WaitSurveyEnded(DWORD timeoutMs = 60000)
    {
        return PumpUntil([this] { return SurveyEnded(); }, timeoutMs);
    }
    void Survey(const std::string& folder)
    {
        StartSurvey(folder);
        ASSERT_TRUE(WaitSurveyEnded()) << "the survey never ended";
    }
    // Runs a command while the boxes it shows are answered in turn; what they said.
    std::vector<DialogAnswerer::Box> CommandAnswering(UINT id, std::vector<int> buttons)
    {
        return Answering([&] { Command(id); }, std::move(buttons));
    }

    int RowCount() const { return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const { return dlg->m_listCtrl.GetItemText(row, column).str(); }
    TableRow Row(int row) const
    {
        TableRow cells;
        for (int column = 0; column < 8; ++column) cells[static_cast<size_t>(column)] = Cell(row, column);
        return cells;
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(); ++row) texts.push_back(Cell(row, column));
        return texts;
    }
    // The row of a link path, -1 when none.
    int RowOf(const std::string& path) const
    {
        for (int row = 0; row < RowCount(); ++row) if (Cell(row, 0) == path) return row;
        return -1;
    }
    int ColumnWidth(int column) const { return static_cast<int>(::SendMessageA(List(), LVM_GETCOLUMNWIDTH, column, 0)); }
    std::vector<int> Widths() const
    {
        std::vector<int> widths;
        for (int column = 0; column < 8; ++column) widths.push_back(ColumnWidth(column));
        return widths;
    }
    HFONT Font() const { return reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0)); }
    LOGFONTA ListFont() const
    {
        LOGFONTA logFont = {};
        ::GetObjectA(Font(), sizeof logFont, &logFont);
        return logFont;
    }

    std::unique_ptr<Window> dlg;
};

using MainWindowTest = WindowTest<CLinkSurveyDlg>;

// Records every LVM_SETCOLUMNWIDTH that reaches the list while it lives: the
// width asked and whether the list was shown then.
class WidthWatch {
public:
    struct Change {
        LPARAM width;
        bool visible;
    };
    explicit WidthWatch(HWND list) : m_list(list)
    {
        Changes().clear();
        Original() = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
    }
    ~WidthWatch() { ::SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original())); }
    WidthWatch(const WidthWatch&) = delete;
    WidthWatch& operator=(const WidthWatch&) = delete;

    static std::vector<Change>& Changes()
    {
        static std::vector<Change> changes;
        return changes;
    }

private:
    static WNDPROC& Original()
    {
        static WNDPROC original = nullptr;
        return original;
    }
    static LRESULT CALLBACK Record(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == LVM_SETCOLUMNWIDTH) Changes().push_back({lParam, ::IsWindowVisible(hWnd) != FALSE});
        return ::CallWindowProcA(Original(), hWnd, message, wParam, lParam);
    }
    HWND m_list;
};
