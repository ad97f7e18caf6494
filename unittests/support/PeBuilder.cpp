#include "support/PeBuilder.h"

#include <cstring>
#include <vector>

namespace {

class Bytes {
public:
    explicit Bytes(size_t size) : m_Data(size, 0) {}
    void U16(size_t at, uint16_t value) {
        m_Data[at] = static_cast<char>(value & 0xff);
        m_Data[at + 1] = static_cast<char>(value >> 8);
    }
    void U32(size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            m_Data[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
        }
    }
    void Text(size_t at, const char* text, size_t size) { std::memcpy(&m_Data[at], text, size); }
    void WideText(size_t at, const char16_t* text) {
        for (size_t i = 0; text[i] != 0; ++i) {
            U16(at + 2 * i, static_cast<uint16_t>(text[i]));
        }
    }
    std::string Take() { return std::move(m_Data); }

private:
    std::string m_Data;
};

const size_t kFileAlignment = 0x200;
const uint32_t kSectionAlignment = 0x1000;
const uint32_t kResourceRva = 0x1000;

} // namespace

std::string BuildPe(const PeLayout& layout) {
    const bool pe32Plus = layout.machine == 0x8664 || layout.machine == 0xaa64;
    const size_t peOffset = 0x80;
    const size_t optionalOffset = peOffset + 24;
    const uint16_t optionalSize = pe32Plus ? 240 : 224;
    const size_t sectionTable = optionalOffset + optionalSize;
    const size_t rawResource = kFileAlignment;
    Bytes image(rawResource + kFileAlignment);

    image.Text(0, "MZ", 2);
    image.U32(0x3c, static_cast<uint32_t>(peOffset));
    image.Text(peOffset, "PE\0\0", 4);
    image.U16(peOffset + 4, layout.machine);
    image.U16(peOffset + 6, 1);
    image.U16(peOffset + 20, optionalSize);
    uint16_t characteristics = 0x0002 | (pe32Plus ? 0x0020 : 0x0100);
    if (layout.dll) {
        characteristics |= 0x2000;
    }
    image.U16(peOffset + 22, characteristics);

    image.U16(optionalOffset, pe32Plus ? 0x20b : 0x10b);
    image.U32(optionalOffset + 16, 0); // no entry point: never run, only read
    if (pe32Plus) {
        image.U32(optionalOffset + 24, 0x40000000); // ImageBase low
        image.U32(optionalOffset + 28, 0x1);        // ImageBase high
    } else {
        image.U32(optionalOffset + 28, 0x400000);
    }
    image.U32(optionalOffset + 32, kSectionAlignment);
    image.U32(optionalOffset + 36, kFileAlignment);
    image.U16(optionalOffset + 40, 6);                                // operating system version
    image.U16(optionalOffset + 48, 6);                                // subsystem version
    image.U32(optionalOffset + 56, kResourceRva + kSectionAlignment); // SizeOfImage
    image.U32(optionalOffset + 60, static_cast<uint32_t>(kFileAlignment)); // SizeOfHeaders
    image.U16(optionalOffset + 68, 3);                                     // console subsystem
    const size_t sizes = optionalOffset + 72;
    if (pe32Plus) {
        image.U32(sizes, 0x100000);
        image.U32(sizes + 8, 0x1000);
        image.U32(sizes + 16, 0x100000);
        image.U32(sizes + 24, 0x1000);
        image.U32(optionalOffset + 108, 16);
    } else {
        image.U32(sizes, 0x100000);
        image.U32(sizes + 4, 0x1000);
        image.U32(sizes + 8, 0x100000);
        image.U32(sizes + 12, 0x1000);
        image.U32(optionalOffset + 92, 16);
    }
    const size_t directories = optionalOffset + (pe32Plus ? 112 : 96);

    // The resource tree: type 16 -> name 1 -> language 0x409 -> data.
    Bytes resource(kFileAlignment);
    size_t resourceSize = 0;
    if (layout.withVersion) {
        const size_t typeDir = 0, nameDir = 24, langDir = 48, dataEntry = 72, block = 88;
        resource.U16(typeDir + 14, 1);
        resource.U32(typeDir + 16, 16);
        resource.U32(typeDir + 20, 0x80000000u | nameDir);
        resource.U16(nameDir + 14, 1);
        resource.U32(nameDir + 16, 1);
        resource.U32(nameDir + 20, 0x80000000u | langDir);
        resource.U16(langDir + 14, 1);
        resource.U32(langDir + 16, 0x409);
        resource.U32(langDir + 20, dataEntry);
        const uint16_t blockSize = 40 + 52;
        resource.U32(dataEntry, kResourceRva + static_cast<uint32_t>(block));
        resource.U32(dataEntry + 4, blockSize);
        resource.U16(block, blockSize);
        resource.U16(block + 2, 52);
        resource.U16(block + 4, 0);
        resource.WideText(block + 6, u"VS_VERSION_INFO");
        const size_t fixed = block + 40;
        resource.U32(fixed, 0xFEEF04BD);
        resource.U32(fixed + 4, 0x00010000);
        resource.U32(fixed + 8, layout.fileVersionMS);
        resource.U32(fixed + 12, layout.fileVersionLS);
        resource.U32(fixed + 16, layout.fileVersionMS);
        resource.U32(fixed + 20, layout.fileVersionLS);
        resource.U32(fixed + 24, 0x3f);
        resource.U32(fixed + 32, 0x40004);
        resource.U32(fixed + 36, layout.dll ? 2 : 1);
        resourceSize = block + blockSize;
        image.U32(directories + 16, kResourceRva);
        image.U32(directories + 20, static_cast<uint32_t>(resourceSize));
    }

    image.Text(sectionTable, ".rsrc", 5);
    image.U32(sectionTable + 8, static_cast<uint32_t>(resourceSize == 0 ? 1 : resourceSize));
    image.U32(sectionTable + 12, kResourceRva);
    image.U32(sectionTable + 16, static_cast<uint32_t>(kFileAlignment));
    image.U32(sectionTable + 20, static_cast<uint32_t>(rawResource));
    image.U32(sectionTable + 36, 0x40000040); // initialised data, readable

    std::string bytes = image.Take();
    std::string resourceBytes = resource.Take();
    bytes.replace(rawResource, resourceBytes.size(), resourceBytes);
    return bytes;
}
