#include "SyntheticPrefix.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace bench {

long long WriteRegistryFile(const std::string& path, int keys, int values, KeyPlace place) {
    std::ofstream file(path, std::ios::binary);
    file << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    for (int i = 0; i < keys; ++i) {
        if (place == KeyPlace::SuiteKey) {
            file << "[Software\\\\Zandorel\\\\Bench\\\\Group" << i / 100 << "\\\\Key" << i;
        } else {
            file << "[Software\\\\Vendor" << i / 1000 << "\\\\Program" << i;
        }
        file << "] 1700000000\n"
             << "#time=1d9a0b0c0d0e0f0\n"
             << "@=\"default value " << i << "\"\n"
             << "\"Path\"=str(2):\"%SystemRoot%\\\\system32\\\\file" << i << ".dll\"\n"
             << "\"Count\"=dword:" << std::hex << i << std::dec << "\n"
             << "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,"
                "17,\\\n"
             << "  18,19,1a,1b,1c,1d,1e,1f\n";
        for (int v = 4; v < values; ++v) {
            file << "\"Setting" << v << "\"=\"value " << v << " of key " << i << "\"\n";
        }
        file << "\n";
    }
    return static_cast<long long>(file.tellp());
}

TempFolder::TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zanprobe-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    m_Path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_Path, error);
}

} // namespace bench
