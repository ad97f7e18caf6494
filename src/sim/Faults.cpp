#include "sim/Faults.h"

#include "sim/Machine.h"
#include "sim/Names.h"

#include <new>

namespace sim {

namespace {

// Whether p_Subject is p_Planted or lies below it (the next character a backslash).
bool Covers(const std::wstring& p_Planted, const std::wstring& p_Subject) {
    if (p_Planted.empty()) {
        return true;
    }
    if (p_Subject.size() < p_Planted.size() ||
        !SameName(p_Subject.substr(0, p_Planted.size()), p_Planted)) {
        return false;
    }
    return p_Subject.size() == p_Planted.size() || p_Subject[p_Planted.size()] == L'\\' ||
           p_Planted.back() == L'\\';
}

} // namespace

DWORD PlantedFault(const char* p_Function, const std::wstring& p_Subject) {
    return PlantedFault(p_Function, [&] { return p_Subject; });
}

DWORD PlantedFault(const char* p_Function, const std::function<std::wstring()>& p_Subject) {
    std::wstring subject;
    bool made = false;
    for (Fault& fault : CurrentMachine().faults) {
        if (fault.function != p_Function) {
            continue;
        }
        if (!made) {
            subject = p_Subject();
            made = true;
        }
        if (Covers(fault.subject, subject)) {
            if (fault.passes > 0) {
                --fault.passes;
                continue;
            }
            if (fault.strikes == 0) {
                continue;
            }
            if (fault.strikes > 0) {
                --fault.strikes;
            }
            if (fault.error == kMemoryExhausted) {
                throw std::bad_alloc();
            }
            return fault.error;
        }
    }
    return 0;
}

} // namespace sim
