/* Preloaded into the 32-bit programs that qemu-user runs for Wine (see run-i386.sh).
 *
 * Wine's 32-bit loader reserves the Windows address space at start with mmap calls that ask
 * for MAP_FIXED_NOREPLACE: the kernel maps exactly the given address or fails with EEXIST.
 * qemu-user 7.2 takes such an address as a mere hint and maps the range elsewhere when it is
 * taken. Wine keeps a range placed above its user-space limit, so the ranges it means to
 * reserve there next are all taken, and it splits every one of them down to 64 KiB: some
 * 60,000 calls, each of which qemu answers by searching its guest address space page by page.
 * The start then does not end for many minutes.
 *
 * This gives the calls the kernel's answer: a range not placed where asked is unmapped and
 * the call fails with EEXIST. Built without the C library's headers or start files; the
 * functions it calls are resolved in the C library at load time. The 64-bit build is empty:
 * the kernel runs 64-bit programs itself. */
#if defined(__i386__)

typedef unsigned int size_t;
typedef long long off64_t;

extern void* dlsym(void* handle, const char* name);
extern int munmap(void* address, size_t length);
extern int* __errno_location(void);

#define RTLD_NEXT ((void*)-1l)
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void*)-1)
#define EEXIST 17

typedef void* (*mmap64_function)(void*, size_t, int, int, int, off64_t);

static void* placed_or_failed(void* wanted, void* placed, size_t length) {
    if (placed == MAP_FAILED || placed == wanted)
        return placed;
    munmap(placed, length);
    *__errno_location() = EEXIST;
    return MAP_FAILED;
}

void* mmap64(void* address, size_t length, int protection, int flags, int fd, off64_t offset) {
    static mmap64_function next;
    if (!next)
        next = (mmap64_function)dlsym(RTLD_NEXT, "mmap64");
    if (!(flags & MAP_FIXED_NOREPLACE))
        return next(address, length, protection, flags, fd, offset);
    return placed_or_failed(
        address, next(address, length, protection, flags & ~MAP_FIXED_NOREPLACE, fd, offset),
        length);
}

void* mmap(void* address, size_t length, int protection, int flags, int fd, long offset) {
    return mmap64(address, length, protection, flags, fd, offset);
}

#else
int zanprobe_fixed_noreplace_unused;
#endif
