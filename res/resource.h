// Resource and command identifiers. They keep their numbers: stored files and the
// framework's tables refer to them.
#pragma once

#define IDD_MAIN                102
#define IDR_MAINFRAME           128
#define IDR_MAIN_MENU           129
#define IDR_ACCEL               137
#define IDD_LINK_EDIT           138
#define IDD_UNREAD_FILES        139
#define IDR_ROW_MENU            140
#define IDR_MORE_ACCEL          141

#define IDC_LINK_LIST           1000
#define IDC_LINK_PATH           1001
#define IDC_TARGET              1002
#define IDC_ARGUMENTS           1003
#define IDC_WORKDIR             1004
#define IDC_HOTKEY              1005
#define IDC_SHOWCMD             1006
#define IDC_ICON_PATH           1007
#define IDC_ICON_INDEX          1008
#define IDC_ICON_SPIN           1009
#define IDC_ICON_PREVIEW        1012
#define IDC_STATUS_BAR          1013
#define IDC_UNREAD_LIST         1014
#define IDC_UNREAD_COPY         1015

#define ID_HELP_ABOUT           32773
#define ID_FILE_EXIT            32779
#define ID_TOOL_SCAN            32780
#define ID_TOOL_FIT_TEXT        32782
#define ID_TOOL_FIT_WINDOW      32783
#define ID_TOOL_FONT            32784
#define ID_FILE_COPY_CSV        32785
#define ID_WEB_HOME             32786
#define ID_WEB_BOARD            32787
#define ID_FILE_VIEW_LIST       32788
#define ID_TOOL_UNREAD_FILES    32789
#define ID_TOOL_SCAN_START_MENU 32790
#define ID_ROW_OPEN_LINK_FOLDER 32791
#define ID_ROW_OPEN_TARGET_FOLDER 32792
#define ID_ROW_PROPERTIES       32793
#define ID_ROW_RECYCLE          32794
#define ID_ROW_COPY_PATH        32795
#define ID_FILE_SAVE_SPREADSHEET_CSV 32796
#define ID_FILE_SAVE_CSV        57603
#define ID_HELP_CONTENTS        57666
#define ID_TOOL_SELECT_FOLDER   65535

// The framework's standard texts.
#define AFX_IDP_PARSE_INT       61712
#define AFX_IDP_PARSE_INT_RANGE 61714
#define AFX_IDP_FILE_NONE       61856

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
