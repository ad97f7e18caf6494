// Made-up Wine registry files for the benchmarks: keys of a few values each in Wine's format,
// as programs installed in a prefix leave them.
#pragma once

#include <string>

namespace bench {

// Where the keys go: under the suite's own key (Software\Zandorel\Bench\Group<n>\Key<n>, what
// the export benchmark exports), or spread over other programs' keys as a prefix with many
// programs installed has them (Software\Vendor<n>\Program<n>, which a run does not read).
enum class KeyPlace { SuiteKey, OtherPrograms };

// Writes a registry file of `keys` keys (values per key: `values`) relative to \Machine; returns
// its size in bytes.
long long WriteRegistryFile(const std::string& path, int keys, int values,
                            KeyPlace place = KeyPlace::SuiteKey);

// A folder of its own in the temporary folder, removed with its contents on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

} // namespace bench
