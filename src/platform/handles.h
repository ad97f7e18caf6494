// Owners of Windows handles: each closes its handle when it goes out of scope, on every path.
#pragma once

#include "winapi/winapi.h"

#include <utility>

namespace Utilities {

// A handle closed with CloseHandle; INVALID_HANDLE_VALUE and null both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_Handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : m_Handle(std::exchange(other.m_Handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_Handle, nullptr));
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool IsValid() const { return m_Handle != nullptr && m_Handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_Handle; }
    void Reset(HANDLE handle = nullptr) {
        if (IsValid()) {
            CloseHandle(m_Handle);
        }
        m_Handle = handle;
    }

private:
    HANDLE m_Handle = nullptr;
};

// A directory search handle, closed with FindClose.
class UniqueFindHandle {
public:
    explicit UniqueFindHandle(HANDLE handle) : m_Handle(handle) {}
    ~UniqueFindHandle() {
        if (IsValid()) {
            FindClose(m_Handle);
        }
    }
    UniqueFindHandle(const UniqueFindHandle&) = delete;
    UniqueFindHandle& operator=(const UniqueFindHandle&) = delete;

    bool IsValid() const { return m_Handle != INVALID_HANDLE_VALUE && m_Handle != nullptr; }
    HANDLE Get() const { return m_Handle; }

private:
    HANDLE m_Handle;
};

// An open registry key, closed with RegCloseKey. Null means "none"; the predefined roots are
// never held here.
class UniqueRegistryKey {
public:
    UniqueRegistryKey() = default;
    ~UniqueRegistryKey() { Reset(); }
    UniqueRegistryKey(const UniqueRegistryKey&) = delete;
    UniqueRegistryKey& operator=(const UniqueRegistryKey&) = delete;

    bool IsValid() const { return m_Key != nullptr; }
    HKEY Get() const { return m_Key; }
    // The place where an opening call stores the key; any key held before is closed first.
    PHKEY Receive() {
        Reset();
        return &m_Key;
    }
    void Reset() {
        if (m_Key != nullptr) {
            RegCloseKey(m_Key);
            m_Key = nullptr;
        }
    }
    // After a failed opening call: whatever it left in the place is not a key to close.
    void Forget() { m_Key = nullptr; }

private:
    HKEY m_Key = nullptr;
};

} // namespace Utilities
