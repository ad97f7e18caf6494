// The Wine registry file loader on any bytes: it reads what it can, reports the rest as
// problems with file and line, and never crashes, hangs or grows without bound, also when the
// keys it left to be created and the values it left to be read are used. A file checked in
// pieces by several threads gives the same keys, values and problems as one read in one go.
#include "FuzzInput.h"

#include "sim/WinePrefix.h"

namespace {

// Uses every key and value of two trees (the fuzzer's files are not deep); false where they
// differ.
bool SameTree(const sim::RegKey& one, const sim::RegKey& other) {
    const std::vector<sim::RegValue>& values = one.Values();
    const std::vector<sim::RegValue>& otherValues = other.Values();
    if (one.Name() != other.Name() || one.linkTarget != other.linkTarget ||
        values.size() != otherValues.size() || one.SubkeyCount() != other.SubkeyCount()) {
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].name != otherValues[i].name || values[i].type != otherValues[i].type ||
            values[i].data != otherValues[i].data) {
            return false;
        }
    }
    for (size_t i = 0; i < one.SubkeyCount(); ++i) {
        if (!SameTree(one.Subkey(i), other.Subkey(i))) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteInputFile(data, size);
    sim::RegKey branch(L"");
    std::string arch;
    std::vector<std::string> problems;
    sim::LoadWineRegistryFile(path, branch, arch, problems, 1);
    sim::RegKey pieced(L"");
    std::string piecedArch;
    std::vector<std::string> piecedProblems;
    unsigned pieces = 2 + (size > 0 ? data[size - 1] % 6 : 0);
    sim::LoadWineRegistryFile(path, pieced, piecedArch, piecedProblems, pieces);
    if (!SameTree(branch, pieced) || arch != piecedArch || problems != piecedProblems) {
        __builtin_trap();
    }
    for (const std::string& problem : problems) {
        // Every problem names the file (and, past the header, the line).
        if (problem.compare(0, path.size() + 1, path + ":") != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
