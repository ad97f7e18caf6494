// Processes and their kernel objects: running a command through the command interpreter and
// waiting for it, named mutexes, and whether this process runs on 64-bit Windows.
#pragma once

#include "platform/unicode.h"
#include "winapi/winapi.h"

#include <functional>

namespace Utilities {

// What became of a command run through the command interpreter.
struct CommandOutcome {
    // The interpreter's exit code (STILL_ACTIVE when it could not be read).
    DWORD exitCode = 0;
    // It had not ended within kCommandTimeLimit and was ended, with every process it started.
    bool timedOut = false;
};

// How long a command may run before it is ended: five minutes. The largest command of a run,
// the listing of the suite's folder or the export of a type library's registrations, takes
// seconds even on a slow network drive with every file scanned; a command that has not ended
// after five minutes waits for something that will not come (a drive that stopped answering,
// a question on a console nobody sees).
const DWORD kCommandTimeLimit = 5 * 60 * 1000;

// Runs p_Command through "cmd /d /c" (no AutoRun commands of the registry) and returns when it
// has ended, or after kCommandTimeLimit, when it is ended. While it waits, the window's
// messages are handled (see SetMessagePump). Raises, with the Windows error's number and text,
// when the command interpreter cannot be started.
CommandOutcome RunCommandAndWait(const Text& p_Command);

// What RunCommandAndWait calls when messages arrive for this thread while it waits: the
// window handles them there, so that it paints and answers during a command. None by default.
void SetMessagePump(std::function<void()> p_Pump);

// Creates (or opens) a named mutex, not initially owned; 0 on failure.
HANDLE CreateNamedMutex(const Text& p_MutexName);

// Closes a handle unless it is 0.
void CloseHandleIfOpen(HANDLE p_Handle);

// Whether this 32-bit process runs on 64-bit Windows.
bool IsWow64();

} // namespace Utilities
