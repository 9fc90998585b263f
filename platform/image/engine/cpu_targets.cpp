// The instruction sets the kernels may use on this processor, for the SIMD library's dispatch
// tables (HWY_DYNAMIC_DISPATCH asks for exactly these two functions on its first call).
//
// They are defined here rather than taken from the SIMD library's shared object: loading that
// object runs a timer calibration in its static initialisers (a few milliseconds of every
// process's start, before main) that the engine never uses.
#include <hwy/targets.h>

#include <atomic>
#include <cstdint>

#if HWY_ARCH_X86
#include <cpuid.h>
#endif

namespace {

#if HWY_ARCH_X86

struct CpuidRegisters {
    std::uint32_t a = 0, b = 0, c = 0, d = 0;
};

CpuidRegisters cpuid(std::uint32_t leaf, std::uint32_t subleaf = 0) {
    CpuidRegisters r;
    __cpuid_count(leaf, subleaf, r.a, r.b, r.c, r.d);
    return r;
}

constexpr bool has(std::uint32_t reg, int bit) {
    return (reg >> bit) & 1u;
}

// The register state the operating system saves on a context switch (XCR0).
std::uint64_t savedRegisterState() {
    std::uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (std::uint64_t{high} << 32) | low;
}

// Each target needs all the features of its group and of the groups below it.
std::int64_t detectTargets() {
    std::int64_t targets = HWY_SCALAR | HWY_EMU128;
    const std::uint32_t maxLeaf = cpuid(0).a;
    if (maxLeaf < 1) return targets;
    const CpuidRegisters one = cpuid(1);
    const CpuidRegisters extended = cpuid(0x80000000u).a >= 0x80000001u ? cpuid(0x80000001u) : CpuidRegisters{};
    const CpuidRegisters seven = maxLeaf >= 7 ? cpuid(7, 0) : CpuidRegisters{};

    const bool ssse3 = has(one.d, 25) && has(one.d, 26) && has(one.c, 0) && has(one.c, 9);
    // SSE4.1, SSE4.2, carry-less multiply, AES.
    const bool sse4 = ssse3 && has(one.c, 19) && has(one.c, 20) && has(one.c, 1) && has(one.c, 25);
    // AVX, AVX2, LZCNT, BMI, BMI2, FMA, F16C; and the system saves the YMM registers.
    const bool osSaves = has(one.c, 27);
    const std::uint64_t state = osSaves ? savedRegisterState() : 0;
    const bool ymmSaved = (state & 0x6) == 0x6;
    const bool zmmSaved = (state & 0xE6) == 0xE6;
    const bool avx2 = sse4 && ymmSaved && has(one.c, 28) && has(seven.b, 5) && has(extended.c, 5) && has(seven.b, 3) &&
                      has(seven.b, 8) && has(one.c, 12) && has(one.c, 29);
    // AVX-512 F, VL, DQ, BW; and the system saves the mask and ZMM registers.
    const bool avx3 = avx2 && zmmSaved && has(seven.b, 16) && has(seven.b, 31) && has(seven.b, 17) && has(seven.b, 30);
    // VNNI, VPCLMULQDQ, VBMI, VBMI2, VAES, VPOPCNTDQ, BITALG.
    const bool avx3dl = avx3 && has(seven.c, 11) && has(seven.c, 10) && has(seven.c, 1) && has(seven.c, 6) &&
                        has(seven.c, 9) && has(seven.c, 14) && has(seven.c, 12);
    if (ssse3) targets |= HWY_SSSE3;
    if (sse4) targets |= HWY_SSE4;
    if (avx2) targets |= HWY_AVX2;
    if (avx3) targets |= HWY_AVX3;
    if (avx3dl) targets |= HWY_AVX3_DL;
    return targets;
}

#else

std::int64_t detectTargets() {
    return HWY_STATIC_TARGET | HWY_SCALAR | HWY_EMU128;
}

#endif

}  // namespace

namespace hwy {

int64_t SupportedTargets() {
    // The answer cannot change while the process runs: detect once.
    static const std::int64_t targets = detectTargets();
    return targets;
}

ChosenTarget& GetChosenTarget() {
    static ChosenTarget chosen;
    return chosen;
}

}  // namespace hwy
