#include "framework/WideString.h"

#include "framework/Handles.h"

#include <vector>

CString WideToAnsi(const WCHAR* text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return CString();
    std::vector<char> bytes(static_cast<size_t>(size));
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return CString(bytes.data(), size - 1);
}

CStringW AnsiToWide(const char* text)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1) return CStringW();
    std::vector<WCHAR> wide(static_cast<size_t>(size));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    return CStringW(wide.data(), size - 1);
}

std::string WideToUtf8(const WCHAR* text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size) - 1);
    return bytes;
}

CStringW SystemMessage(HRESULT hr)
{
    WCHAR* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<WCHAR*>(&text), 0, nullptr);
    const CLocalMemory owned(text);
    CStringW message;
    if (length != 0 && text) {
        DWORD end = length;
        while (end > 0 && (text[end - 1] == L'\r' || text[end - 1] == L'\n' || text[end - 1] == L' ')) --end;
        text[end] = L'\0';
        message = CStringW(text);
    }
    return message;
}
