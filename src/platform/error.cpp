#include "platform/error.h"

#include <new>
#include <stdexcept>

ZPError::ZPError(long number, Text description)
    : m_Number(number), m_Description(std::move(description)),
      m_What(Utilities::ToUtf8(m_Description)) {}

ZPError ZPError::InvalidArgument() {
    return ZPError(5, L"Invalid procedure call or argument");
}

ZPError ZPError::Overflow() {
    return ZPError(6, L"Overflow");
}

Text FailureDescription(const std::exception& p_Failure) {
    if (const ZPError* error = dynamic_cast<const ZPError*>(&p_Failure)) {
        return error->Description();
    }
    // The standard library's failures, in the runtime's words.
    if (dynamic_cast<const std::bad_alloc*>(&p_Failure) != nullptr ||
        dynamic_cast<const std::length_error*>(&p_Failure) != nullptr) {
        return L"Out of memory";
    }
    if (dynamic_cast<const std::out_of_range*>(&p_Failure) != nullptr) {
        return L"Subscript out of range";
    }
    if (dynamic_cast<const std::overflow_error*>(&p_Failure) != nullptr ||
        dynamic_cast<const std::range_error*>(&p_Failure) != nullptr) {
        return L"Overflow";
    }
    if (dynamic_cast<const std::invalid_argument*>(&p_Failure) != nullptr) {
        return L"Invalid procedure call or argument";
    }
    return Utilities::FromUtf8(p_Failure.what());
}
