// The table points out rows that need attention, without changing their texts:
// a shortcut key that another row has too (Windows gives a key to one link
// only, so one of them is dead) in a warning colour, and a link whose target is
// gone greyed. A row that is both shows the warning.
#include "mainwnd/LinkSurveyDlg.h"

namespace {
constexpr size_t kKeyCount = 0x10000;
constexpr COLORREF kClashOnLight = RGB(0xB0, 0x00, 0x00);  // dark red
constexpr COLORREF kClashOnDark = RGB(0xFF, 0x80, 0x80);   // light red, for dark schemes (high contrast)

bool IsDark(COLORREF colour)
{
    return GetRValue(colour) * 299 + GetGValue(colour) * 587 + GetBValue(colour) * 114 < 128 * 1000;
}
}  // namespace

void CLinkSurveyDlg::MarkSharedKeys()
{
    m_keyUse.assign(kKeyCount, 0);
    const int rowCount = m_listCtrl.GetItemCount();
    for (int row = 0; row < rowCount; ++row) {
        const size_t key = m_listCtrl.GetItemData(row) & 0xFFFF;
        if (key != 0 && m_keyUse[key] < 2) ++m_keyUse[key];
    }
    m_listCtrl.Invalidate();
}

void CLinkSurveyDlg::OnListCustomDraw(NMHDR* notify, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(notify);
    *result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return;
    LVITEMW item = {};
    item.mask = LVIF_PARAM | LVIF_STATE;
    item.iItem = static_cast<int>(draw->nmcd.dwItemSpec);
    item.stateMask = LVIS_SELECTED | kTargetMissingState;
    if (!m_listCtrl.GetItem(&item)) return;
    // The selection keeps its own colours, which every scheme makes readable.
    if (item.state & LVIS_SELECTED) return;
    const UINT state = item.state;
    const size_t key = static_cast<size_t>(item.lParam) & 0xFFFF;
    if (key != 0 && key < m_keyUse.size() && m_keyUse[key] >= 2) {
        draw->clrText = IsDark(::GetSysColor(COLOR_WINDOW)) ? kClashOnDark : kClashOnLight;
    } else if ((state & kTargetMissingState) == kTargetMissingState) {
        draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
    }
}
