// UTF-16 text for file names and link texts, which the ANSI code page cannot
// always spell, and the two conversions between it and the code page.
#pragma once
#include <windows.h>
#include <string>

#include "framework/AfxString.h"

class CStringW {
public:
    CStringW() = default;
    CStringW(const WCHAR* text) : m_str(text ? text : L"") {}
    CStringW(const WCHAR* text, int length) : m_str(text, static_cast<size_t>(length)) {}
    CStringW(std::wstring text) : m_str(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    operator const WCHAR*() const { return m_str.c_str(); }
    const WCHAR* c_str() const { return m_str.c_str(); }
    const std::wstring& str() const { return m_str; }

    CStringW& operator+=(const CStringW& other) { m_str += other.m_str; return *this; }
    friend CStringW operator+(const CStringW& a, const CStringW& b) { return CStringW(a.m_str + b.m_str); }
    friend CStringW operator+(const CStringW& a, const WCHAR* b) { return CStringW(a.m_str + b); }
    bool operator==(const WCHAR* text) const { return m_str == text; }
    bool operator!=(const WCHAR* text) const { return m_str != text; }

private:
    std::wstring m_str;
};

// The code page's bytes of a text; a character it cannot spell becomes the code
// page's replacement, as the system's own ANSI functions give it.
CString WideToAnsi(const WCHAR* text);
// A code-page text in UTF-16, exactly.
CStringW AnsiToWide(const char* text);

// UTF-8 of a text, exactly.
std::string WideToUtf8(const WCHAR* text);

// The system's own words for a status (a Win32 error or an HRESULT), without the
// line end they come with; empty when the system has none.
CStringW SystemMessage(HRESULT hr);
