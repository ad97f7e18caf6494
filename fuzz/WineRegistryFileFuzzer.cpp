// The Wine registry file loader on any bytes: it reads what it can, reports the rest as
// problems with file and line, and never crashes, hangs or grows without bound, also when the
// keys it left to be created and the values it left to be read are used.
#include "FuzzInput.h"

#include "sim/WinePrefix.h"

namespace {

// Uses every key and value of a tree (the fuzzer's files are not deep).
void Walk(const sim::RegKey& key) {
    for (const sim::RegValue& value : key.Values()) {
        (void)value;
    }
    for (size_t i = 0; i < key.SubkeyCount(); ++i) {
        Walk(key.Subkey(i));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteInputFile(data, size);
    sim::RegKey branch(L"");
    std::string arch;
    std::vector<std::string> problems;
    sim::LoadWineRegistryFile(path, branch, arch, problems);
    Walk(branch);
    for (const std::string& problem : problems) {
        // Every problem names the file (and, past the header, the line).
        if (problem.compare(0, path.size() + 1, path + ":") != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
