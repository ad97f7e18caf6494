// The program's version: the one place it is written. The preamble of the report log and the
// Windows version resource both take it from here.
#pragma once

#define ZANPROBE_VERSION_MAJOR 7
#define ZANPROBE_VERSION_MINOR 0
#define ZANPROBE_VERSION_REVISION 27

#define ZANPROBE_STRINGIZE2(x) #x
#define ZANPROBE_STRINGIZE(x) ZANPROBE_STRINGIZE2(x)
#define ZANPROBE_VERSION_TEXT                                                                      \
    ZANPROBE_STRINGIZE(ZANPROBE_VERSION_MAJOR)                                                     \
    "." ZANPROBE_STRINGIZE(ZANPROBE_VERSION_MINOR) "." ZANPROBE_STRINGIZE(ZANPROBE_VERSION_REVISION)
