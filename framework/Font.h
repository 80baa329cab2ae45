// CFont: owns one font handle.
#pragma once
#include <windows.h>

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }
    HFONT GetSafeHandle() const { return m_hObject; }

    BOOL Attach(HFONT font) { m_hObject = font; return font != nullptr; }
    BOOL DeleteObject()
    {
        if (!m_hObject) return FALSE;
        const BOOL deleted = ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return deleted;
    }
    BOOL CreateFontIndirect(const LOGFONTA* logFont) { return Attach(::CreateFontIndirectA(logFont)); }
    int GetLogFont(LOGFONTA* logFont) const { return ::GetObjectA(m_hObject, sizeof(LOGFONTA), logFont); }
};
