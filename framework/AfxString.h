// Byte strings in the ANSI code page (Shift-JIS), in the manner of the framework's CString.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_str(text ? text : "") {}
    CString(const std::string& text) : m_str(text) {}
    CString(const char* text, int length) : m_str(text, static_cast<size_t>(length)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    operator const char*() const { return m_str.c_str(); }
    const char* c_str() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(const char* text) { m_str += text; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a + b.m_str); }
    bool operator==(const char* text) const { return m_str == text; }
    bool operator!=(const char* text) const { return m_str != text; }

    void Format(const char* format, ...);

private:
    std::string m_str;
};

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int Add(const CString& item) { m_items.push_back(item); return GetSize() - 1; }
    const CString& GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
    const CString& operator[](int index) const { return GetAt(index); }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<CString> m_items;
};

class CDWordArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int Add(DWORD item) { m_items.push_back(item); return GetSize() - 1; }
    DWORD GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
    DWORD operator[](int index) const { return GetAt(index); }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<DWORD> m_items;
};
