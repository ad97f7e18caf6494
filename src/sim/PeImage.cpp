#include "sim/PeImage.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace sim {

namespace {

const uint32_t kResourceDirectory = 2;
const uint32_t kVersionType = 16;
const uint32_t kVersionName = 1;
// Version resources are small; anything larger than this is not a version resource.
const uint32_t kMaxVersionResource = 1 << 20;

// Reads the file's bytes at an offset: raw bytes, or a little-endian number.
class Reader {
public:
    explicit Reader(std::ifstream& file) : m_File(file) {}

    bool Read(uint64_t offset, void* target, size_t size) {
        m_File.clear();
        m_File.seekg(static_cast<std::streamoff>(offset));
        m_File.read(static_cast<char*>(target), static_cast<std::streamsize>(size));
        return m_File.gcount() == static_cast<std::streamsize>(size);
    }
    template <typename T> bool Number(uint64_t offset, T& value) {
        unsigned char bytes[sizeof(T)];
        if (!Read(offset, bytes, sizeof bytes)) {
            return false;
        }
        value = 0;
        for (size_t i = sizeof bytes; i > 0; --i) {
            value = static_cast<T>((value << 8) | bytes[i - 1]);
        }
        return true;
    }

private:
    std::ifstream& m_File;
};

struct Section {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawSize;
    uint32_t rawOffset;
};

bool RvaToOffset(const std::vector<Section>& sections, uint32_t rva, uint64_t& offset) {
    for (const Section& section : sections) {
        uint32_t size = std::max(section.virtualSize, section.rawSize);
        if (rva >= section.virtualAddress && rva - section.virtualAddress < size) {
            offset = static_cast<uint64_t>(rva - section.virtualAddress) + section.rawOffset;
            return true;
        }
    }
    return false;
}

// The entry of a resource directory with the given ID, or the first ID entry when id is 0.
bool FindEntry(Reader& reader, uint64_t resourceBase, uint32_t directory, uint32_t id,
               uint32_t& target) {
    uint16_t named = 0;
    uint16_t ids = 0;
    if (!reader.Number(resourceBase + directory + 12, named) ||
        !reader.Number(resourceBase + directory + 14, ids)) {
        return false;
    }
    for (uint32_t i = 0; i < static_cast<uint32_t>(named) + ids; ++i) {
        uint64_t entry = resourceBase + directory + 16 + 8 * static_cast<uint64_t>(i);
        uint32_t name = 0;
        uint32_t offset = 0;
        if (!reader.Number(entry, name) || !reader.Number(entry + 4, offset)) {
            return false;
        }
        bool isId = (name & 0x80000000u) == 0;
        if (isId && (id == 0 || name == id)) {
            target = offset;
            return true;
        }
    }
    return false;
}

bool ReadVersionResource(Reader& reader, const std::vector<Section>& sections, uint32_t resourceRva,
                         std::string& resource) {
    uint64_t base = 0;
    if (resourceRva == 0 || !RvaToOffset(sections, resourceRva, base)) {
        return false;
    }
    // The type's directory, then the name's, then the first language's data entry.
    uint32_t entry = 0;
    uint32_t directory = 0;
    for (uint32_t id : {kVersionType, kVersionName, 0u}) {
        bool isDirectory = id != 0;
        if (!FindEntry(reader, base, directory, id, entry) ||
            ((entry & 0x80000000u) != 0) != isDirectory) {
            return false;
        }
        directory = entry & 0x7fffffffu;
    }
    uint32_t dataRva = 0;
    uint32_t size = 0;
    uint64_t data = 0;
    if (!reader.Number(base + entry, dataRva) || !reader.Number(base + entry + 4, size) ||
        size == 0 || size > kMaxVersionResource || !RvaToOffset(sections, dataRva, data)) {
        return false;
    }
    resource.assign(size, '\0');
    return reader.Read(data, &resource[0], size);
}

} // namespace

bool ReadPeImage(const std::string& hostPath, PeImage& image) {
    image = PeImage();
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        return false;
    }
    Reader reader(file);
    char mz[2] = {};
    if (!reader.Read(0, mz, 2)) {
        return true;
    }
    image.hasDosHeader = mz[0] == 'M' && mz[1] == 'Z';
    uint32_t peOffset = 0;
    char signature[4] = {};
    if (!image.hasDosHeader || !reader.Number(0x3c, peOffset) ||
        !reader.Read(peOffset, signature, 4) ||
        std::string(signature, 4) != std::string("PE\0\0", 4)) {
        return true;
    }
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    uint16_t characteristics = 0;
    uint16_t magic = 0;
    if (!reader.Number(peOffset + 4, image.machine) || !reader.Number(peOffset + 6, sectionCount) ||
        !reader.Number(peOffset + 20, optionalSize) ||
        !reader.Number(peOffset + 22, characteristics) || !reader.Number(peOffset + 24, magic)) {
        image.machine = 0;
        return true;
    }
    image.isPortableExecutable = true;
    image.isDll = (characteristics & 0x2000) != 0;

    uint64_t optional = peOffset + 24;
    uint64_t directories = optional + (magic == 0x20b ? 112 : 96);
    uint32_t directoryCount = 0;
    uint32_t resourceRva = 0;
    reader.Number(optional + (magic == 0x20b ? 108 : 92), directoryCount);
    if (directoryCount > kResourceDirectory) {
        reader.Number(directories + 8 * kResourceDirectory, resourceRva);
    }
    std::vector<Section> sections;
    uint64_t sectionTable = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint64_t header = sectionTable + 40 * static_cast<uint64_t>(i);
        Section section{};
        if (!reader.Number(header + 8, section.virtualSize) ||
            !reader.Number(header + 12, section.virtualAddress) ||
            !reader.Number(header + 16, section.rawSize) ||
            !reader.Number(header + 20, section.rawOffset)) {
            break;
        }
        sections.push_back(section);
    }
    if (!ReadVersionResource(reader, sections, resourceRva, image.versionResource)) {
        image.versionResource.clear();
    }
    return true;
}

} // namespace sim
