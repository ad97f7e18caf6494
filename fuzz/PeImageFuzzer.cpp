// The PE reader behind the version functions and the binary type on any bytes: headers,
// section tables, the resource directory and the version block, cut anywhere.
#include "FuzzInput.h"

#include "sim/Machine.h"
#include "sim/PeImage.h"
#include "winapi/winapi.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool installed = [] {
        sim::InstallMachine(sim::Machine::Empty());
        return true;
    }();
    (void)installed;
    const std::string& path = fuzz::WriteInputFile(data, size);
    sim::PeImage image;
    sim::ReadPeImage(path, image);

    // The program's own calls, on the file as Z: shows it.
    std::string windowsPath = "Z:" + path;
    for (char& c : windowsPath) {
        c = c == '/' ? '\\' : c;
    }
    DWORD binaryType = 0;
    GetBinaryTypeA(windowsPath.c_str(), &binaryType);
    DWORD handle = 0;
    DWORD infoSize = GetFileVersionInfoSizeA(windowsPath.c_str(), &handle);
    if (infoSize == 0 || infoSize > (1u << 24)) {
        return 0;
    }
    // Exactly the size asked for, so that a read past it is caught.
    std::vector<BYTE> block(infoSize);
    if (!GetFileVersionInfoA(windowsPath.c_str(), 0, infoSize, block.data())) {
        return 0;
    }
    LPVOID fixed = nullptr;
    UINT fixedSize = 0;
    if (VerQueryValueA(block.data(), "\\", &fixed, &fixedSize) && fixedSize > 0) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, fixed, sizeof info);
        volatile DWORD sink = info.dwFileVersionMS ^ info.dwFileVersionLS;
        (void)sink;
    }
    return 0;
}
