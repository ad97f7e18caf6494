// The Wine registry file loader on any bytes: it reads what it can, reports the rest as
// problems with file and line, and never crashes, hangs or grows without bound, also when the
// keys it left to be made and the values it left to be read are used. Keys and values come out
// the same whatever order they are first used in.
#include "FuzzInput.h"

#include "sim/WinePrefix.h"

namespace {

// Compares a tree whose keys are enumerated, values first, with one whose subkeys are first
// looked up by name (the last first) and whose values are read last; false where they differ.
bool SameTree(sim::RegKey& one, sim::RegKey& other) {
    const std::vector<sim::RegValue>& values = one.Values();
    size_t count = one.SubkeyCount();
    for (size_t i = count; i-- > 0;) {
        sim::RegKey* found = other.FindSubkey(one.Subkey(i).Name());
        if (found == nullptr || !SameTree(one.Subkey(i), *found)) {
            return false;
        }
    }
    const std::vector<sim::RegValue>& otherValues = other.Values();
    if (one.Name() != other.Name() || one.LinkTarget() != other.LinkTarget() ||
        values.size() != otherValues.size() || other.SubkeyCount() != count) {
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].name != otherValues[i].name || values[i].type != otherValues[i].type ||
            values[i].data != otherValues[i].data) {
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
    sim::LoadWineRegistryFile(path, branch, arch, problems);
    sim::RegKey again(L"");
    std::string againArch;
    std::vector<std::string> againProblems;
    sim::LoadWineRegistryFile(path, again, againArch, againProblems);
    if (!SameTree(branch, again) || arch != againArch || problems != againProblems) {
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
