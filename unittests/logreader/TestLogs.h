// Report logs for the log reader's tests, built from the golden logs.
#pragma once

#include <string>
#include <vector>

namespace TestLogs {

// Lines joined into a file's bytes, each ending in CR LF.
std::string Bytes(const std::vector<std::string>& p_Lines);

// The whole golden log of the inspection run, as lines.
std::vector<std::string> Inspection();

// A golden log of only some sections made a whole log: the preamble before it and the run's
// terminator block after it.
std::vector<std::string> WholeLog(const std::string& p_GoldenName);

} // namespace TestLogs
