// A driver whose entry has the callee-pops convention: 32-bit Windows
// exports it as pldbin@16, and a host calling it as cdecl corrupts its
// stack. (The public header would refuse this declaration.)
#include <cstdint>

extern "C" __declspec(dllexport) std::int32_t __stdcall pldbin(void *, const void *, unsigned char *,
                                                              void *) {
    return 0;
}
