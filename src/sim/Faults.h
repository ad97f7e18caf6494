// Errors planted on the simulated machine: one function, one path or key, one error code. The
// functions that honour the table look it up on entry and fail as Windows would, with the
// planted error as their result or last error.
#pragma once

#include "winapi/winapi.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

struct Fault {
    // The function's name as the seam spells it ("CreateProcessA", "RegOpenKeyExA", ...).
    std::string function;
    // The path or key the call names (a file path as given, a key as its full root name and
    // path, a command line), or a folder or key above it; empty for every call.
    std::wstring subject;
    DWORD error;
    // Matching calls that still succeed before the fault strikes (counted down by each).
    unsigned passes = 0;
    // Matching calls it fails before it is spent (counted down by each); -1 for every call.
    int strikes = -1;
};

// Planted as a fault's error: the program's memory runs out during the call, which then fails
// as an allocation of the program's own would, with std::bad_alloc.
const DWORD kMemoryExhausted = 0xFFFFFFFF;
// Planted as CreateProcessA's error: the process starts and never ends by itself (it waits for
// a drive that stopped answering); only ending it ends it.
const DWORD kNeverEnds = 0xFFFFFFFE;

// The error planted on the current machine for a call of p_Function on p_Subject; 0 for none.
// Throws std::bad_alloc where the planted error is kMemoryExhausted.
DWORD PlantedFault(const char* p_Function, const std::wstring& p_Subject);
// The same, the subject made only when a fault is planted for the function: most machines have
// none, and most calls would make it for nothing.
DWORD PlantedFault(const char* p_Function, const std::function<std::wstring()>& p_Subject);

} // namespace sim
