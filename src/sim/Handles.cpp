#include "sim/Handles.h"

#include <cerrno>
#include <cstdint>
#include <map>
#include <unistd.h>

namespace sim {

namespace {

struct Table {
    std::map<uintptr_t, std::unique_ptr<KernelObject>> objects;
    uintptr_t next = 0x100;
};

Table& TheTable() {
    static Table table;
    return table;
}

} // namespace

HANDLE AddHandle(std::unique_ptr<KernelObject> object) {
    Table& table = TheTable();
    uintptr_t value = table.next;
    table.next += 4;
    table.objects[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

KernelObject* FindHandle(HANDLE handle) {
    Table& table = TheTable();
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == table.objects.end() ? nullptr : found->second.get();
}

bool RemoveHandle(HANDLE handle) {
    return TheTable().objects.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
}

void ForEachHandle(const std::function<void(KernelObject&)>& visit) {
    for (auto& entry : TheTable().objects) {
        visit(*entry.second);
    }
}

FileObject::~FileObject() {
    close(fd);
}

size_t WriteAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t written = write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        done += static_cast<size_t>(written);
    }
    return done;
}

} // namespace sim

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (!sim::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
