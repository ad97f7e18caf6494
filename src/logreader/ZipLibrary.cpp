#include "logreader/ZipLibrary.h"

#include <dlfcn.h>

namespace LogReader {

namespace {

template <typename Function> bool Bind(void* p_Library, const char* p_Name, Function& p_Function) {
    p_Function = reinterpret_cast<Function>(dlsym(p_Library, p_Name));
    return p_Function != nullptr;
}

// Loads the library the program was built against (its soname, from the build).
std::string Load(ZipLibrary& p_Zip) {
    void* library = dlopen(ZANPROBE_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        return std::string("reading a zip needs " ZANPROBE_LIBZIP_SONAME
                           ", which cannot be loaded") +
               (reason != nullptr ? std::string(" (") + reason + ")" : std::string());
    }
    bool bound = Bind(library, "zip_error_init", p_Zip.error_init) &&
                 Bind(library, "zip_error_fini", p_Zip.error_fini) &&
                 Bind(library, "zip_error_strerror", p_Zip.error_strerror) &&
                 Bind(library, "zip_source_buffer_create", p_Zip.source_buffer_create) &&
                 Bind(library, "zip_source_free", p_Zip.source_free) &&
                 Bind(library, "zip_open_from_source", p_Zip.open_from_source) &&
                 Bind(library, "zip_discard", p_Zip.discard) &&
                 Bind(library, "zip_get_num_entries", p_Zip.get_num_entries) &&
                 Bind(library, "zip_stat_init", p_Zip.stat_init) &&
                 Bind(library, "zip_stat_index", p_Zip.stat_index) &&
                 Bind(library, "zip_fopen_index", p_Zip.fopen_index) &&
                 Bind(library, "zip_fread", p_Zip.fread) &&
                 Bind(library, "zip_fclose", p_Zip.fclose);
    return bound ? std::string()
                 : "reading a zip needs " ZANPROBE_LIBZIP_SONAME
                   ", whose functions are not all there";
}

} // namespace

const ZipLibrary* LoadZipLibrary(std::string& p_Error) {
    static ZipLibrary zip = {};
    static const std::string error = Load(zip);
    if (!error.empty()) {
        p_Error = error;
        return nullptr;
    }
    return &zip;
}

} // namespace LogReader
