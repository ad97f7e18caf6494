// Reading Windows executables on the host: the headers that tell the binary type and the
// version resource.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

struct PeImage {
    // "MZ" at the start.
    bool hasDosHeader = false;
    // "PE\0\0" where the DOS header points.
    bool isPortableExecutable = false;
    // The COFF machine (0x14c i386, 0x8664 x86-64, ...), 0 when not a PE file.
    uint16_t machine = 0;
    // The image is a DLL.
    bool isDll = false;
    // The raw bytes of the version resource (type 16, name 1, first language); empty when none.
    std::string versionResource;
};

// Reads the headers and the version resource of a host file; false when it cannot be read.
bool ReadPeImage(const std::string& hostPath, PeImage& image);

} // namespace sim
