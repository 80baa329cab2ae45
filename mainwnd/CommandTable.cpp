// Binds the main window's menu commands, accelerators and list notifications.
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CLinkSurveyDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_SIZE()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_COMMAND(ID_FILE_EXIT, OnCancel)
    ON_COMMAND(ID_TOOL_SCAN, OnToolScan)
    ON_COMMAND(ID_HELP_ABOUT, OnHelpAbout)
    ON_COMMAND(ID_HELP_CONTENTS, OnHelpContents)
    ON_NOTIFY(NM_DBLCLK, IDC_LINK_LIST, OnListDblClk)
    ON_COMMAND(ID_TOOL_FIT_TEXT, OnToolFitText)
    ON_COMMAND(ID_TOOL_FIT_WINDOW, OnToolFitWindow)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_LINK_LIST, OnColumnClick)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_LINK_LIST, OnListCustomDraw)
    ON_COMMAND(ID_TOOL_SELECT_FOLDER, OnToolSelectFolder)
    ON_COMMAND(ID_TOOL_FONT, OnToolFont)
    ON_COMMAND(ID_FILE_SAVE_CSV, OnFileSaveCsv)
    ON_COMMAND(ID_FILE_COPY_CSV, OnFileCopyCsv)
    ON_COMMAND(ID_WEB_BOARD, OnWebBoard)
    ON_COMMAND(ID_WEB_HOME, OnWebHome)
    ON_COMMAND(ID_FILE_VIEW_LIST, OnFileViewList)
    // Hand-overs from the survey's worker.
    ON_MESSAGE(WM_LIRVAN_SETBUSY, OnSetBusyState)
    ON_MESSAGE(WM_LIRVAN_ADDROWS, OnAddRows)
END_MESSAGE_MAP()
