// Owners of Windows handles: each closes its handle when it goes out of scope, on every path.
// One template, ScopedHandle, does the owning; a traits type per kind of handle says which
// values mean "none" and how a handle is closed.
#pragma once

#include "winapi/winapi.h"

#include <utility>

namespace Utilities {

template <typename Traits> class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_Handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_Handle(std::exchange(other.m_Handle, Traits::None())) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_Handle, Traits::None()));
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool IsValid() const { return Traits::IsValid(m_Handle); }
    Handle Get() const { return m_Handle; }
    // Closes the handle held (if any) and holds the new one.
    void Reset(Handle handle = Traits::None()) {
        if (IsValid()) {
            Traits::Close(m_Handle);
        }
        m_Handle = handle;
    }
    // The place where an opening call stores the handle; any handle held before is closed first.
    Handle* Receive() {
        Reset();
        return &m_Handle;
    }
    // After a failed opening call: whatever it left in the place is not a handle to close.
    void Forget() { m_Handle = Traits::None(); }

private:
    Handle m_Handle = Traits::None();
};

// A kernel object handle closed with CloseHandle; INVALID_HANDLE_VALUE and null both mean "none".
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Close(Handle handle) { CloseHandle(handle); }
};

// A directory search handle, closed with FindClose.
struct FindHandleTraits : KernelHandleTraits {
    static void Close(Handle handle) { FindClose(handle); }
};

// An open registry key, closed with RegCloseKey. Null means "none"; the predefined roots are
// never held here.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};

using UniqueHandle = ScopedHandle<KernelHandleTraits>;
using UniqueFindHandle = ScopedHandle<FindHandleTraits>;
using UniqueRegistryKey = ScopedHandle<RegistryKeyTraits>;

} // namespace Utilities
