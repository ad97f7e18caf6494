#include "checks/system/RegistryDumps.h"

#include "checks/RegistryExport.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

using namespace Utilities;

namespace RegistryDumps {

namespace {

const wchar_t* const kOfficeSettingsKeys[] = {
    L"HKEY_CURRENT_USER\\Control Panel\\International",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\Excel\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Excel\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\15.0\\Excel\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Excel\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\MS Project\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\MS Project\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\15.0\\MS Project\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\MS Project\\Options",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\Excel\\Addins",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\MS Project\\AddIns",
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\MS Project\\AddIns",
    L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Office\\12.0\\Excel\\Resiliency\\DisabledItems",
    L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Office\\14.0\\Excel\\Resiliency\\DisabledItems",
    L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Office\\15.0\\Excel\\Resiliency\\DisabledItems",
    L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Office\\16.0\\Excel\\Resiliency\\DisabledItems",
};

// A type library's block: heading, explanatory lines (the last may be absent) and its three
// registrations.
struct TypeLibraryBlock {
    const wchar_t* heading;
    const wchar_t* lines[3];
    const wchar_t* keys[3];
};

const TypeLibraryBlock kExcelTypeLibraryBlock = {
    L"Excel COM Type Library Registrations",
    {L"The following COM entries have sub-keys corresponding to various versions of Excel",
     L"If the sub-key is still there after the un-installation of a version of Office, it can "
     L"cause problems with 64-bit Excel that show as something like Error Loading DLL.",
     L"COM keys/values in HKEY_CLASSES_ROOT reflect COM keys/values that are either in "
     L"HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER."},
    {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}",
     L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}",
     L"HKEY_CLASSES_ROOT\\TypeLib\\{00020813-0000-0000-C000-000000000046}"},
};

const TypeLibraryBlock kOfficeTypeLibraryBlock = {
    L"Office COM Type Library Registrations",
    {L"The following COM entries have sub-keys corresponding to various versions of Office",
     L"If the sub-key is still there after the un-installation of a version of Office, it can "
     L"cause problems with 64-bit Office that show as something like Error Loading DLL.",
     nullptr},
    {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}",
     L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}",
     L"HKEY_CLASSES_ROOT\\TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}"},
};

const TypeLibraryBlock kProjectTypeLibraryBlock = {
    L"Project COM Type Library Registrations",
    {L"The following COM entries have sub-keys corresponding to various versions of Project",
     L"If the sub-key is still there after the un-installation of a version of Office, it can "
     L"cause problems with 64-bit Project that show as something like Error Loading DLL.",
     nullptr},
    {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{A7107640-94DF-1068-855E-00DD01075445}",
     L"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\TypeLib\\{A7107640-94DF-1068-855E-00DD01075445}",
     L"HKEY_CLASSES_ROOT\\TypeLib\\{A7107640-94DF-1068-855E-00DD01075445}"},
};

const wchar_t kOfficePolicyKey[] = L"HKEY_CURRENT_USER\\software\\policies\\microsoft\\office";
const wchar_t kPolicyTrustedLocationsHeading[] =
    L"Group Policy can also specify trusted locations for all Office applications.";
const wchar_t* const kPolicyTrustedLocationsKeys[] = {
    L"HKEY_CURRENT_USER\\software\\policies\\microsoft\\office\\12.0\\common\\security\\trusted "
    L"locations",
    L"HKEY_CURRENT_USER\\software\\policies\\microsoft\\office\\14.0\\common\\security\\trusted "
    L"locations",
    L"HKEY_CURRENT_USER\\software\\policies\\microsoft\\office\\15.0\\common\\security\\trusted "
    L"locations",
    L"HKEY_CURRENT_USER\\software\\policies\\microsoft\\office\\16.0\\common\\security\\trusted "
    L"locations",
};

const wchar_t* const kSuiteKeys[] = {L"HKEY_LOCAL_MACHINE\\Software\\Zandorel",
                                     L"HKEY_CURRENT_USER\\Software\\Zandorel"};

template <size_t Count> void ExportEach(const wchar_t* const (&p_Keys)[Count]) {
    for (const wchar_t* key : p_Keys) {
        RegistryExport::ExportRegistryKeyToLog(key);
    }
}

void ExportTypeLibrary(const TypeLibraryBlock& p_Block) {
    Report::WriteLogHeading(p_Block.heading);
    for (const wchar_t* line : p_Block.lines) {
        if (line != nullptr) {
            Report::WriteLine(line);
        }
    }
    ExportEach(p_Block.keys);
}

} // namespace

void ExportOfficeSettingsKeys() {
    ExportEach(kOfficeSettingsKeys);
}

void ExportExcelTypeLibrary() {
    ExportTypeLibrary(kExcelTypeLibraryBlock);
}

void ExportOfficeTypeLibrary() {
    ExportTypeLibrary(kOfficeTypeLibraryBlock);
}

void ExportProjectTypeLibrary() {
    ExportTypeLibrary(kProjectTypeLibraryBlock);
}

void ExportPolicyTrustedLocations() {
    if (!RegistryKeyExists(kOfficePolicyKey, false)) {
        return;
    }
    Report::WriteLogHeading(kPolicyTrustedLocationsHeading);
    ExportEach(kPolicyTrustedLocationsKeys);
}

void ExportSuiteKeys() {
    ExportEach(kSuiteKeys);
}

void ListSuiteMainFolder() {
    Text folder = GetProductMainDirectory();
    if (FolderExists(folder)) {
        RegistryExport::ListFolderToLog(folder);
    }
}

} // namespace RegistryDumps
