// COM objects of other components: creation by ProgID and a late-bound method call by name.
// One source over the seam's COM: real COM on Windows, the simulated machine's elsewhere.
// Failures raise ZPError with the HRESULT as number and a description made of
// the system's message for it and the code in hexadecimal ("Class not registered (0x80040154)").
#pragma once

#include "platform/unicode.h"

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace Utilities {

// One argument of a method call: a 16-bit integer or a text.
using ComArgument = std::variant<int16_t, Text>;

class ComObject {
public:
    // Creates an instance of the class registered for p_ProgId through its automation
    // interface; raises when the ProgID is unknown or the instance cannot be created.
    static ComObject Create(const Text& p_ProgId);

    ComObject(ComObject&&) noexcept;
    ComObject& operator=(ComObject&&) noexcept;
    ~ComObject();

    // Calls the method p_Method with the arguments in order; its return value is dropped.
    // Raises when the method is unknown or the call fails.
    void CallMethod(const Text& p_Method, const std::vector<ComArgument>& p_Arguments);

    class Instance;

private:
    explicit ComObject(std::unique_ptr<Instance> instance);
    std::unique_ptr<Instance> m_Instance;
};

// The program's COM apartment, single-threaded, begun when made and ended when destroyed; made
// once at start-up, before anything that may use COM (the shell's associations included).
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_Begun;
};

// Lets COM unload the in-process servers that no object uses any more, so that the next run
// loads them afresh (a component repaired meanwhile is then the one tested).
void ReleaseUnusedServers();

// The description of a failed COM call: the system's message for the code, else p_Fallback,
// followed by the code in hexadecimal in parentheses.
Text DescribeComError(long p_Code, const Text& p_Fallback);

} // namespace Utilities
