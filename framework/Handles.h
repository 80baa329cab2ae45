// Owners of the system's resources: each releases its one resource where it goes
// out of scope, so no path can forget it or release it twice. Move-only.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <utility>

// A resource released by one function, as its traits say: Type, the value that
// owns nothing, whether a value is a resource, and how to release it.
template <typename Traits>
class COwned {
public:
    using T = typename Traits::Type;
    COwned() = default;
    explicit COwned(T value) : m_value(value) {}
    ~COwned() { Reset(); }
    COwned(COwned&& other) noexcept : m_value(other.Detach()) {}
    COwned& operator=(COwned&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;

    bool IsValid() const { return Traits::IsValid(m_value); }
    T Get() const { return m_value; }
    operator T() const { return m_value; }
    T Detach() { return std::exchange(m_value, Traits::None()); }
    void Reset(T value = Traits::None())
    {
        if (IsValid()) Traits::Free(m_value);
        m_value = value;
    }

private:
    T m_value = Traits::None();
};

namespace handles {
template <typename H, void (*Release)(H)>
struct Simple {
    using Type = H;
    static H None() { return nullptr; }
    static bool IsValid(H h) { return h != nullptr; }
    static void Free(H h) { Release(h); }
};
// Kernel functions answer "no handle" with null or with INVALID_HANDLE_VALUE, each its own way.
template <BOOL(WINAPI* Release)(HANDLE)>
struct Kernel {
    using Type = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { Release(h); }
};
inline void FreeGlobal(HGLOBAL h) { ::GlobalFree(h); }
inline void FreeLocal(HLOCAL h) { ::LocalFree(h); }
inline void FreeMenu(HMENU h) { ::DestroyMenu(h); }
}  // namespace handles

// A kernel handle: files, events, processes, threads, jobs, mappings, pipes.
using CHandle = COwned<handles::Kernel<&::CloseHandle>>;
// A search of FindFirstFile.
using CFindHandle = COwned<handles::Kernel<&::FindClose>>;
// Global memory not (yet) handed to the clipboard.
using CGlobalMemory = COwned<handles::Simple<HGLOBAL, &handles::FreeGlobal>>;
// Local memory that the system allocated for us (FormatMessage, CommandLineToArgvW).
using CLocalMemory = COwned<handles::Simple<HLOCAL, &handles::FreeLocal>>;
// A loaded menu.
using CMenuHandle = COwned<handles::Simple<HMENU, &handles::FreeMenu>>;

// Memory of the COM allocator that a shell function handed us (a path, an item list).
template <typename T>
class CTaskMemory {
public:
    CTaskMemory() = default;
    explicit CTaskMemory(T* p) : m_p(p) {}
    ~CTaskMemory() { ::CoTaskMemFree(m_p); }
    CTaskMemory(const CTaskMemory&) = delete;
    CTaskMemory& operator=(const CTaskMemory&) = delete;
    T* Get() const { return m_p; }
    T** Receive() { return &m_p; }

private:
    T* m_p = nullptr;
};

// A COM interface pointer: one reference, released at the end.
template <typename T>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Reset()
    {
        if (m_p) std::exchange(m_p, nullptr)->Release();
    }
    // For functions that hand a new reference back through a pointer.
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

private:
    T* m_p = nullptr;
};

// COM on the calling thread for the life of the object; undoes only what it did:
// a thread that had COM already (or in another model) keeps it as it was.
class CComInitializer {
public:
    explicit CComInitializer(DWORD model = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
        : m_hr(::CoInitializeEx(nullptr, model))
    {
    }
    ~CComInitializer()
    {
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }
    CComInitializer(const CComInitializer&) = delete;
    CComInitializer& operator=(const CComInitializer&) = delete;
    // S_OK or S_FALSE: COM is there for this thread; RPC_E_CHANGED_MODE: it is, in the other model.
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};
