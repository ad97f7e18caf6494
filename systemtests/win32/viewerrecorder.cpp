// Stands in for the user's text viewer in the system tests: appends the document it was asked
// to open, one line, to the file named by ZANPROBE_VIEWER_RECORD, and exits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char record[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("ZANPROBE_VIEWER_RECORD", record, MAX_PATH)) {
        return 1;
    }
    FILE* file = std::fopen(record, "ab");
    if (!file) {
        return 1;
    }
    for (int i = 1; i < __argc; ++i) {
        std::fprintf(file, "%s%s", i > 1 ? " " : "", __argv[i]);
    }
    std::fprintf(file, "\n");
    std::fclose(file);
    return 0;
}
