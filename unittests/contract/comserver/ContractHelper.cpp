// A DLL that a variant of the contract's COM server imports: the server loads only where the
// loader finds this file too (beside the server, where Windows looks first for its imports).
#include <windows.h>

extern "C" __declspec(dllexport) int ContractHelperReady() {
    return 1;
}
