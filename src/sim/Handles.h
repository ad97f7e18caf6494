// The handle table of the simulated machine. Every kernel object that the program opens
// (files, directory searches, and in time processes and mutexes) lives here under a handle
// value that looks like a Windows one.
#pragma once

#include "winapi/winapi.h"

#include <functional>
#include <memory>
#include <sys/types.h>

namespace sim {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Whether a process that this one starts with bInheritHandles gets the handle too (opened
    // with SECURITY_ATTRIBUTES.bInheritHandle).
    bool inheritable = false;
};

// Adds an object and returns its new handle.
HANDLE AddHandle(std::unique_ptr<KernelObject> object);

// Removes a handle; false when it was not open.
bool RemoveHandle(HANDLE handle);

// Visits every open object.
void ForEachHandle(const std::function<void(KernelObject&)>& visit);

// The object of a handle; null when it is not open.
KernelObject* FindHandle(HANDLE handle);

// The object of a handle when it is of type T, else null.
template <typename T> T* HandleObject(HANDLE handle) {
    return dynamic_cast<T*>(FindHandle(handle));
}

// An open host file.
class FileObject : public KernelObject {
public:
    FileObject(int fd, dev_t device, ino_t inode, DWORD shareMode)
        : fd(fd), device(device), inode(inode), shareMode(shareMode) {}
    ~FileObject() override;
    int fd;
    dev_t device;
    ino_t inode;
    DWORD shareMode;
    // The null device ("NUL"): reads end at once, writes vanish.
    bool isNullDevice = false;
};

// Writes bytes to a host file, going on after interruptions; the count written, short of `size`
// when the host refused the rest (errno says why).
size_t WriteAll(int fd, const char* data, size_t size);

} // namespace sim
