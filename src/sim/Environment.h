// Environment variables of the simulated machine: names compared without regard to case, in the
// order they were set.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sim {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// The value of a variable; null when it is not set.
const std::wstring* FindVariable(const Environment& environment, const std::wstring& name);
// Sets a variable, replacing the value of one of the same name.
void SetVariable(Environment& environment, const std::wstring& name, const std::wstring& value);

// The text with each %NAME% of a set variable replaced by its value, as ExpandEnvironmentStrings
// does it: a reference to a variable not set stays as written, both signs included, and the text
// goes on after its closing sign (in "%A%B%" with A not set, "B" is not a reference); a sign
// without a closing one stays.
std::wstring ExpandVariables(const Environment& environment, const std::wstring& text);

} // namespace sim
