// Builds small Windows executables for tests: the headers of a PE32 or PE32+ image for a
// machine type, and optionally a version resource with a file version.
#pragma once

#include <cstdint>
#include <string>

struct PeLayout {
    uint16_t machine = 0x14c; // 0x14c i386, 0x8664 x86-64
    bool dll = false;
    bool withVersion = true;
    uint32_t fileVersionMS = 0x00010000; // 1.0
    uint32_t fileVersionLS = 0x9c400000; // 40000.0
};

// The bytes of the executable.
std::string BuildPe(const PeLayout& layout);
