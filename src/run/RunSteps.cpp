// The fixed order of the checks of a run. Several stretches of the log (explanatory lines
// followed by the registry dumps that they explain) rely on this order.
#include "run/Diagnostics.h"

namespace Diagnostics {

const std::vector<RunStep>& RunSteps() {
    static const std::vector<RunStep> steps = {};
    return steps;
}

} // namespace Diagnostics
