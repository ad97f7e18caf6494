// libzip, loaded when a zipped log is first read. Linked like other libraries, it would be
// loaded (with the cryptography library it brings) at the start of every run of the program,
// which reads a zip only when support summarises one.
#pragma once

#include <zip.h>

#include <string>

namespace LogReader {

// The libzip functions the reader uses, with their own names and types.
struct ZipLibrary {
    decltype(&zip_error_init) error_init;
    decltype(&zip_error_fini) error_fini;
    decltype(&zip_error_strerror) error_strerror;
    decltype(&zip_source_buffer_create) source_buffer_create;
    decltype(&zip_source_free) source_free;
    decltype(&zip_open_from_source) open_from_source;
    decltype(&zip_discard) discard;
    decltype(&zip_get_num_entries) get_num_entries;
    decltype(&zip_stat_init) stat_init;
    decltype(&zip_stat_index) stat_index;
    decltype(&zip_fopen_index) fopen_index;
    decltype(&zip_fread) fread;
    decltype(&zip_fclose) fclose;
};

// The library, loaded on the first call; nullptr, with p_Error saying why, when it cannot be.
const ZipLibrary* LoadZipLibrary(std::string& p_Error);

} // namespace LogReader
