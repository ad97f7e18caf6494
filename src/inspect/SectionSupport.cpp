#include "inspect/SectionSupport.h"

#include "platform/error.h"
#include "run/Diagnostics.h"

namespace Inspect {

void WriteLine(const Text& p_Line) {
    if (g_LogFile) {
        g_LogFile->WriteToLogFile(p_Line, false);
    }
}

void WriteLogHeading(const Text& p_Heading) {
    if (g_LogFile) {
        g_LogFile->WriteToLogFile(p_Heading, true);
    }
}

Text FailureDescription(const std::exception& p_Failure) {
    if (const ZPError* error = dynamic_cast<const ZPError*>(&p_Failure)) {
        return error->Description();
    }
    return Utilities::FromUtf8(p_Failure.what());
}

} // namespace Inspect
