// The busy state: while a survey runs, the window cannot be closed and the
// survey, export and exit commands are greyed.
#include "mainwnd/LinkSurveyDlg.h"

#include "res/resource.h"

void CLinkSurveyDlg::SetBusyState(int enable)
{
    const UINT state = MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED);
    if (HMENU systemMenu = GetSystemMenu(FALSE)) ::EnableMenuItem(systemMenu, SC_CLOSE, state);
    if (HMENU menu = GetMenu()) {
        for (UINT command : {ID_TOOL_SCAN, ID_FILE_SAVE_CSV, ID_FILE_COPY_CSV, ID_FILE_EXIT, ID_TOOL_SCAN_START_MENU,
                              ID_FILE_SAVE_SPREADSHEET_CSV}) {
            ::EnableMenuItem(menu, command, state);
        }
    }
}

bool CLinkSurveyDlg::IsCloseGreyed() const
{
    HMENU systemMenu = GetSystemMenu(FALSE);
    return systemMenu && (::GetMenuState(systemMenu, 6, MF_BYPOSITION) & 0xFF) != 0;
}
