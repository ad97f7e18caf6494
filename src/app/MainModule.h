// The program's start-up and shutdown.
#pragma once

namespace MainModule {

// Begins the program's COM apartment, creates the main window, shows it modally, shuts down and
// ends the apartment. Returns the program's exit code:
// 1 when the last run failed, else 0. Where an instance of the program with the same temporary
// folder runs already, brings its window to the front instead and returns 0.
int Main();

// Closes the last report log again (without display), disposes it, unloads the window.
void Shutdown();

// Shutdown's first step: closes the last report log again (a second terminator block, no
// display) and disposes it; nothing without a log.
void CloseLastLog();

} // namespace MainModule
