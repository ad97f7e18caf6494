#include "sim/WinePrefix.h"

#include "sim/PrefixSettings.h"
#include "sim/Registry.h"

#include <sys/stat.h>

namespace sim {

bool IsWinePrefix(const std::string& folder) {
    struct stat info;
    return !folder.empty() && stat((folder + "/system.reg").c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

std::unique_ptr<Machine> LoadWinePrefix(const std::string& prefixFolder,
                                        std::vector<std::string>& problems) {
    if (!IsWinePrefix(prefixFolder)) {
        problems.push_back(prefixFolder + ": not a Wine prefix (it has no system.reg)");
        return nullptr;
    }
    auto machine = std::make_unique<Machine>();
    std::string systemFile = prefixFolder + "/system.reg";
    std::string arch;
    LoadWineRegistryFile(systemFile, *machine->registry.Tree(RegRoot::LocalMachine), arch,
                         problems);
    machine->is64Bit = arch == "win64";
    std::string userArch;
    LoadWineRegistryFile(prefixFolder + "/user.reg", *machine->registry.Tree(RegRoot::CurrentUser),
                         userArch, problems);
    std::string defaultFile = prefixFolder + "/userdef.reg";
    struct stat info;
    if (stat(defaultFile.c_str(), &info) == 0) {
        LoadWineRegistryFile(defaultFile,
                             machine->registry.Tree(RegRoot::Users)->CreateSubkey(L".Default"),
                             userArch, problems);
    }
    MapPrefixDrives(*machine, prefixFolder);
    ReadPrefixSettings(*machine, systemFile, problems);
    return machine;
}

} // namespace sim
