// Choosing the list's font, and keeping its size in points at another DPI.
#include "framework/FontDialog.h"
#include "mainwnd/LinkSurveyDlg.h"

void CLinkSurveyDlg::OnToolFont()
{
    LOGFONTA logFont = {};
    if (!m_font.GetSafeHandle() || !m_font.GetLogFont(&logFont)) {
        // After a failed creation there is no font to start from: take what the list shows.
        HFONT shown = m_listCtrl.GetFont();
        ::GetObjectA(shown ? shown : ::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    }
    CFontDialog dialog(&logFont, CF_LIMITSIZE | CF_EFFECTS | CF_PRINTERFONTS | CF_SCREENFONTS, nullptr, this);
    dialog.m_cf.nSizeMin = 9;
    dialog.m_cf.nSizeMax = 72;
    if (dialog.DoModal() != IDOK) return;

    m_font.DeleteObject();
    if (m_font.CreateFontIndirect(&dialog.m_lf)) {
        m_listCtrl.SetFont(m_font.GetSafeHandle());
    } else {
        // The old font is gone: the list must not keep drawing with it.
        m_listCtrl.SetFont(nullptr);
        ::MessageBeep(MB_ICONEXCLAMATION);
    }
    // Turning the grid lines off and on makes the list lay out its rows anew.
    m_listCtrl.SetExtendedStyle(LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT);
    m_listCtrl.SetExtendedStyle(LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    Invalidate(TRUE);
}

void CLinkSurveyDlg::ScaleListFont(UINT fromDpi, UINT toDpi)
{
    LOGFONTA logFont = {};
    if (!m_font.GetSafeHandle() || !m_font.GetLogFont(&logFont)) return;  // the list shows the system's font
    logFont.lfHeight = ScaleForDpi(logFont.lfHeight, fromDpi, toDpi);
    logFont.lfWidth = ScaleForDpi(logFont.lfWidth, fromDpi, toDpi);
    HFONT scaled = ::CreateFontIndirectA(&logFont);
    if (!scaled) return;  // the old size is better than none
    // The list lets go of the old font before it is deleted.
    if (m_listCtrl.m_hWnd) m_listCtrl.SetFont(scaled);
    m_font.DeleteObject();
    m_font.Attach(scaled);
}
