// The fixed order of the checks of a run. Several stretches of the log (explanatory lines
// followed by the registry dumps that they explain) rely on this order.
#include "run/Diagnostics.h"

namespace Diagnostics {

const std::vector<RunStep>& RunSteps() {
    static const std::vector<RunStep> steps = {
        // step 1: Windows information
        // step 2: Windows tests
        // step 3: .NET 4.0 x86
        // step 4: .NET 4.0 x64
        // step 5: Windows tests (DEP)
        // step 6: VB6 tests
        // step 7: VC2013 tests
        // step 8: Excel information
        // step 9: Project information
        // step 10: suite directories
        // step 11: suite component tests
        // step 12: ORVEX tests
        // step 13: registry exports
        // step 14: Excel type library block
        // step 15: 32-bit interface registrations
        // step 16: Office type library block
        // step 17: Project type library block
        // step 18: Excel API version consistency
        // step 19: empty Excel API keys
        // step 20: Excel type library paths
        // step 21: registry security tests
        // step 22: security settings block
        // step 23: policy trusted locations
        // step 24: suite registry keys
        // step 25: suite main folder listing
    };
    return steps;
}

} // namespace Diagnostics
