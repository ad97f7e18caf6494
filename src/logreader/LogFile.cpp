#include "logreader/LogFile.h"

#include "logreader/ZipLibrary.h"

#include <fstream>
#include <memory>
#include <vector>

namespace LogReader {

namespace {

bool EndsWithTxt(const std::string& p_Name) {
    if (p_Name.size() < 4 || p_Name.back() == '/') {
        return false;
    }
    std::string end = p_Name.substr(p_Name.size() - 4);
    for (char& c : end) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return end == ".txt";
}

// An entry's bytes at most this large: a report log is far smaller, a larger entry is no log
// worth unpacking into memory.
const zip_uint64_t kLargestEntry = zip_uint64_t{1} << 30;

} // namespace

bool IsZip(const std::string& p_Bytes) {
    return p_Bytes.compare(0, 4, "PK\x03\x04") == 0 || p_Bytes.compare(0, 4, "PK\x05\x06") == 0;
}

bool ForEachZipText(const std::string& p_Zip,
                    const std::function<void(const std::string&, const std::string&)>& p_Each,
                    std::string& p_Error) {
    const ZipLibrary* zip = LoadZipLibrary(p_Error);
    if (zip == nullptr) {
        return false;
    }
    zip_error_t error;
    zip->error_init(&error);
    zip_source_t* source = zip->source_buffer_create(p_Zip.data(), p_Zip.size(), 0, &error);
    auto discard = [zip](zip_t* p_Archive) { zip->discard(p_Archive); };
    std::unique_ptr<zip_t, decltype(discard)> archive(
        source == nullptr ? nullptr : zip->open_from_source(source, ZIP_RDONLY, &error), discard);
    if (!archive) {
        if (source != nullptr) {
            zip->source_free(source);
        }
        p_Error = std::string("the zip cannot be read: ") + zip->error_strerror(&error);
        zip->error_fini(&error);
        return false;
    }
    zip->error_fini(&error);
    zip_int64_t count = zip->get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip->stat_init(&stat);
        if (zip->stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
            stat.name == nullptr || !EndsWithTxt(stat.name)) {
            continue;
        }
        std::string name = stat.name;
        if ((stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > kLargestEntry) {
            p_Error = "the zip's entry " + name + " is too large for a report log";
            return false;
        }
        std::string bytes(static_cast<size_t>(stat.size), '\0');
        zip_file_t* file = zip->fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0);
        zip_int64_t read = file == nullptr ? -1 : zip->fread(file, &bytes[0], stat.size);
        if (file != nullptr) {
            zip->fclose(file);
        }
        if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
            p_Error = "the zip's entry " + name + " cannot be unpacked";
            return false;
        }
        p_Each(name, bytes);
    }
    return true;
}

bool ReadFileBytes(const std::string& p_Path, std::string& p_Bytes, std::string& p_Error) {
    std::ifstream file(p_Path, std::ios::binary | std::ios::ate);
    if (!file) {
        p_Error = "cannot be read";
        return false;
    }
    std::streamoff size = file.tellg();
    if (size < 0 || static_cast<zip_uint64_t>(size) > kLargestEntry) {
        p_Error = size < 0 ? "cannot be read" : "far too large for a report log";
        return false;
    }
    p_Bytes.assign(static_cast<size_t>(size), '\0');
    file.seekg(0);
    if (size > 0 && !file.read(&p_Bytes[0], size)) {
        p_Error = "cannot be read";
        return false;
    }
    return true;
}

LogFileBytes ReadLogFile(const std::string& p_Path) {
    LogFileBytes result;
    if (!ReadFileBytes(p_Path, result.bytes, result.error)) {
        return result;
    }
    if (!IsZip(result.bytes)) {
        result.ok = true;
        return result;
    }
    std::vector<std::pair<std::string, std::string>> texts;
    std::string error;
    if (!ForEachZipText(
            result.bytes,
            [&](const std::string& name, const std::string& text) {
                if (texts.size() < 2) {
                    texts.emplace_back(name, text);
                }
            },
            error)) {
        result.error = error;
        return result;
    }
    if (texts.size() != 1) {
        result.error =
            texts.empty() ? "the zip holds no .txt file" : "the zip holds more than one .txt file";
        return result;
    }
    result.unzipped = "unzipped " + texts[0].first;
    result.bytes = std::move(texts[0].second);
    result.ok = true;
    return result;
}

} // namespace LogReader
