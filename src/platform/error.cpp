#include "platform/error.h"

ZPError::ZPError(long number, Text description)
    : m_Number(number), m_Description(std::move(description)),
      m_What(Utilities::ToUtf8(m_Description)) {}

ZPError ZPError::InvalidArgument(const Text& argument) {
    return ZPError(5, argument);
}

ZPError ZPError::Overflow() {
    return ZPError(6, L"Overflow");
}

Text FailureDescription(const std::exception& p_Failure) {
    if (const ZPError* error = dynamic_cast<const ZPError*>(&p_Failure)) {
        return error->Description();
    }
    return Utilities::FromUtf8(p_Failure.what());
}
