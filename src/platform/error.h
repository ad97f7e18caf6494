// The program's one error type: a number and a description, like the errors that the
// sections raise, catch and turn into result text.
#pragma once

#include "platform/unicode.h"

#include <exception>
#include <string>

class ZPError : public std::exception {
public:
    ZPError(long number, Text description);

    long Number() const { return m_Number; }
    const Text& Description() const { return m_Description; }
    const char* what() const noexcept override { return m_What.c_str(); }

    // Error 5, an impossible argument; the description names the argument.
    static ZPError InvalidArgument(const Text& argument);
    // Error 6, a count that does not fit its 16-bit type.
    static ZPError Overflow();

private:
    long m_Number;
    Text m_Description;
    std::string m_What;
};

// Base of the application-defined error numbers (hexadecimal 80040000).
const long kApplicationErrorBase = -2147221504L;

// Runs one statement and drops any error it raises: the "ignore and go on" of a region whose
// statements must each run whatever the ones before them did.
template <typename Statement> void IgnoreErrors(Statement&& p_Statement) {
    try {
        p_Statement();
    } catch (const std::exception&) {
    }
}

// The description of a failure of any kind.
Text FailureDescription(const std::exception& p_Failure);

// Runs the steps of a test that reports its own failures: a failure ends the steps at once and
// its description is appended to the status as it stood then, as " (" description ")".
template <typename Steps> void RunStepsIntoStatus(Text& p_Status, Steps&& p_Steps) {
    try {
        p_Steps();
    } catch (const std::exception& failure) {
        p_Status += L" (" + FailureDescription(failure) + L")";
    }
}
