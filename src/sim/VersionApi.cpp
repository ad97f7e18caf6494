// Version resources and binary types of the simulated machine's files, read from the real
// executables on the host.
#include "sim/Ansi.h"
#include "sim/Errors.h"
#include "sim/Paths.h"
#include "sim/PeImage.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

using namespace sim;

namespace {

const DWORD kFixedFileInfoSignature = 0xFEEF04BD;

// Reads the executable behind a path argument; sets the last error when that fails.
bool LoadImage(LPCSTR path, PeImage& image) {
    if (path == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, false);
    }
    ResolvedPath resolved = ResolveWindowsPath(FromAnsiArgument(path));
    if (resolved.error != ERROR_SUCCESS) {
        return Fail(resolved.error, false);
    }
    if (!resolved.exists || resolved.mode == 0 || S_ISDIR(resolved.mode)) {
        return Fail(ERROR_FILE_NOT_FOUND, false);
    }
    if (!ReadPeImage(resolved.host, image)) {
        return Fail(ERROR_ACCESS_DENIED, false);
    }
    return true;
}

// The VS_FIXEDFILEINFO inside a version block: after the key L"VS_VERSION_INFO", on a 4-byte
// boundary, found by its signature.
const BYTE* FindFixedFileInfo(const BYTE* block, size_t size) {
    const size_t keyEnd = 6 + 16 * 2;
    for (size_t offset = (keyEnd + 3) & ~static_cast<size_t>(3);
         offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
        DWORD signature;
        std::memcpy(&signature, block + offset, sizeof signature);
        if (signature == kFixedFileInfoSignature) {
            return block + offset;
        }
    }
    return nullptr;
}

} // namespace

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    PeImage image;
    if (!LoadImage(lptstrFilename, image)) {
        return 0;
    }
    if (!image.isPortableExecutable) {
        return Fail<DWORD>(ERROR_BAD_EXE_FORMAT, 0);
    }
    if (image.versionResource.empty()) {
        return Fail<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND, 0);
    }
    // Windows reserves room for an ANSI copy of the block after it.
    return static_cast<DWORD>(image.versionResource.size() * 2);
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    PeImage image;
    if (lpData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (!LoadImage(lptstrFilename, image)) {
        return FALSE;
    }
    if (image.versionResource.empty()) {
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, FALSE);
    }
    size_t copied = std::min<size_t>(dwLen, image.versionResource.size());
    std::memset(lpData, 0, dwLen);
    std::memcpy(lpData, image.versionResource.data(), copied);
    // The block's own length comes from the file: never let it claim more than was copied, so
    // that VerQueryValueA reads only the caller's buffer.
    WORD length = 0;
    if (copied >= sizeof length) {
        std::memcpy(&length, lpData, sizeof length);
        if (length > copied) {
            length = static_cast<WORD>(copied);
            std::memcpy(lpData, &length, sizeof length);
        }
    }
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr) {
        return FALSE;
    }
    std::string subBlock = lpSubBlock;
    if (subBlock != "\\" && !subBlock.empty()) {
        // Only the root block (the fixed file information) is read by the program.
        return FALSE;
    }
    const BYTE* block = static_cast<const BYTE*>(pBlock);
    WORD length;
    std::memcpy(&length, block, sizeof length);
    const BYTE* fixed = FindFixedFileInfo(block, length);
    if (fixed == nullptr) {
        return FALSE;
    }
    *lplpBuffer = const_cast<BYTE*>(fixed);
    if (puLen != nullptr) {
        *puLen = sizeof(VS_FIXEDFILEINFO);
    }
    return TRUE;
}

BOOL WINAPI GetBinaryTypeA(LPCSTR lpApplicationName, LPDWORD lpBinaryType) {
    PeImage image;
    if (lpBinaryType == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (!LoadImage(lpApplicationName, image)) {
        return FALSE;
    }
    if (!image.hasDosHeader) {
        return Fail(ERROR_BAD_EXE_FORMAT, FALSE);
    }
    if (!image.isPortableExecutable) {
        *lpBinaryType = SCS_DOS_BINARY;
        return TRUE;
    }
    if (image.isDll) {
        return Fail(ERROR_BAD_EXE_FORMAT, FALSE);
    }
    switch (image.machine) {
    case 0x14c:
    case 0x1c0:
    case 0x1c2:
    case 0x1c4:
    case 0x1f0:
        *lpBinaryType = SCS_32BIT_BINARY;
        return TRUE;
    case 0x8664:
    case 0xaa64:
        *lpBinaryType = SCS_64BIT_BINARY;
        return TRUE;
    default:
        return Fail(ERROR_BAD_EXE_FORMAT, FALSE);
    }
}
