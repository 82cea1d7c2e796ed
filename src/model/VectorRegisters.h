#pragma once

// AVX code elsewhere in the process (Qt's drawing and text code among it) can
// leave the upper halves of the vector registers in use; until they are
// cleared, every SSE instruction of our arithmetic waits on them and the
// calculations run several times slower. Call this before a run of numbers:
// it changes no value, since this program keeps nothing there.
inline void ClearUpperVectorHalves()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx"))
        __asm__ volatile("vzeroupper");
#endif
}
