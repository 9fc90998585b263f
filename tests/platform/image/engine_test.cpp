// Engine parts: scratch arenas, the render pool, the geometry and face-balance filters, the
// noise-reduction kernel and the choice of kernels.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "image_test_support.h"
#include "platform/image/affine_value.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"
#include "platform/image/engine/render_pool.h"

using namespace imagetest;

TEST(RenderArena, MarksReleaseAndResetsKeepOneBlock) {
    RenderArena arena;
    float* a = arena.floats(100);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 64, 0u);
    auto mark = arena.mark();
    float* b = arena.floats(10);
    arena.release(mark);
    EXPECT_EQ(arena.floats(10), b);  // the released space is handed out again
    // A request larger than a block grows the arena; after reset it is one block of the total.
    arena.floats(3 << 20);
    std::size_t grown = arena.capacity();
    arena.reset();
    EXPECT_GE(arena.capacity(), grown);
    std::size_t allocations = arena.systemAllocations();
    arena.floats(3 << 20);
    arena.floats(100);
    arena.reset();
    EXPECT_EQ(arena.systemAllocations(), allocations);
}

TEST(RenderPool, RunsEveryTaskOnceAndRefusesWhenBusy) {
    RenderPool pool(4);
    std::vector<std::atomic<int>> hits(1000);
    pool.run(hits.size(), 0, [&](std::size_t i, RenderArena&) { hits[i].fetch_add(1); });
    for (const auto& h : hits) ASSERT_EQ(h.load(), 1);
    // While one job runs, a second caller is refused instead of waiting.
    std::atomic<bool> started{false}, release{false};
    std::thread holder([&] {
        pool.run(2, 2, [&](std::size_t, RenderArena&) {
            started = true;
            while (!release) std::this_thread::yield();
        });
    });
    while (!started) std::this_thread::yield();
    EXPECT_FALSE(pool.tryRun(1, 0, [](std::size_t, RenderArena&) {}));
    release = true;
    holder.join();
    EXPECT_TRUE(pool.tryRun(1, 0, [](std::size_t, RenderArena&) {}));
}

TEST(RenderPool, BackToBackJobsOfEverySizeRunEachTaskOnceUnderItsOwnJob) {
    // Small jobs one after another, as thumbnails and preview frames come: threads still watching
    // from one job join the next without the lock, and must never run a task of one job under
    // another's claim or a task twice. Each job's task records which job ran it.
    RenderPool pool(6);
    for (int job = 0; job < 3000; ++job) {
        const std::size_t count = 1 + static_cast<std::size_t>(job * 7 % 23);
        const std::size_t threads = static_cast<std::size_t>(job % 7);  // 0: all of them
        std::vector<std::atomic<int>> hits(count);
        pool.run(count, threads, [&hits, job](std::size_t i, RenderArena&) {
            ASSERT_LT(i, hits.size()) << "job " << job;
            hits[i].fetch_add(1);
        });
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(hits[i].load(), 1) << "job " << job << " task " << i;
    }
}

TEST(GeometryFilters, AffineTransformAndCropByName) {
    auto image = imageOf(randomBitmap(10, 8, 2));
    auto boxed =
        filtered("CIAffineTransform", image,
                 {{kCIInputTransformKey,
                   Value(AffineTransformValue::valueWithCGAffineTransform(CGAffineTransformMakeTranslation(5, 3)))}});
    EXPECT_EQ(boxed->extent(), CGRectMake(5, 3, 10, 8));
    auto vector = filtered(
        "CIAffineTransform", image,
        {{kCIInputTransformKey, Value(CIVector::vectorWithCGAffineTransform(CGAffineTransformMakeScale(2, 2)))}});
    EXPECT_EQ(vector->extent(), CGRectMake(0, 0, 20, 16));
    // The default crop rectangle is the infinite one: nothing is cut.
    EXPECT_EQ(filtered("CICrop", image)->extent(), image->extent());
    auto cropped = filtered("CICrop", image, {{"inputRectangle", Value(CIVector::vectorWithX(2, 1, 5, 100))}});
    EXPECT_EQ(cropped->extent(), CGRectMake(2, 1, 5, 7));
    // imageByApplyingFilter sets the image and the parameters.
    auto moved = image->imageByApplyingFilter(
        "CIAffineTransform",
        {{kCIInputTransformKey,
          Value(AffineTransformValue::valueWithCGAffineTransform(CGAffineTransformMakeTranslation(-1, 0)))}});
    EXPECT_EQ(moved->extent(), CGRectMake(-1, 0, 10, 8));
    // A moved image renders the same pixels at their new place.
    auto a = render(plainContext(), image, CGRectMake(0, 0, 10, 8));
    auto b = render(plainContext(), boxed, CGRectMake(5, 3, 10, 8));
    EXPECT_EQ(a.rgba, b.rgba);
}

TEST(FaceBalance, ShiftsChromaTowardsSkinOnlyWhenFacesWereMeasured) {
    Bitmap grey{2, 1, {120, 120, 120, 255, 60, 60, 60, 255}};
    auto image = imageOf(grey);
    auto untouched = filtered("CIFaceBalance", image);
    EXPECT_EQ(render(plainContext(), untouched, CGRectMake(0, 0, 2, 1)).rgba, grey.rgba);
    // Faces measured as neutral (I = Q = 0): everything moves towards the warm skin chroma, the
    // same amount for every pixel, luma kept.
    auto balanced = filtered("CIFaceBalance", image,
                             {{"inputOrigI", Value(0.0)},
                              {"inputOrigQ", Value(0.0)},
                              {"inputStrength", Value(0.5)},
                              {"inputWarmth", Value(0.0)}});
    auto out = render(plainContext(), balanced, CGRectMake(0, 0, 2, 1));
    ASSERT_FALSE(out.rgba.empty());
    EXPECT_GT(out.rgba[0], out.rgba[2]);  // red above blue: warmer
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(out.rgba[static_cast<std::size_t>(c)] - 120, out.rgba[4 + static_cast<std::size_t>(c)] - 60, 1);
    double luma = 0.299 * out.rgba[0] + 0.587 * out.rgba[1] + 0.114 * out.rgba[2];
    EXPECT_NEAR(luma, 120, 1.5);
}

TEST(NoiseReductionKernel, SmoothsByLumaLikenessAndSharpensTowardsTheBoxAverage) {
    // Rows long enough for whole vectors and a tail; each output pixel against the formula:
    // neighbours weigh max(0, 1 - |luma difference| / level), and the sharpness adds back
    // sharpness x (smooth - box average of the nine).
    constexpr std::size_t n = 37;
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> planes[3][3], lumas[3];
    for (int k = 0; k < 3; ++k) {
        for (auto& p : planes[k]) {
            p.resize(n + 2);
            for (float& v : p) v = unit(rng);
        }
        lumas[k].resize(n + 2);
        kernels::luma(planes[k][0].data(), planes[k][1].data(), planes[k][2].data(), lumas[k].data(), n + 2);
        for (std::size_t i = 0; i < n + 2; ++i)
            EXPECT_FLOAT_EQ(lumas[k][i],
                            0.2126f * planes[k][0][i] + 0.7152f * planes[k][1][i] + 0.0722f * planes[k][2][i]);
    }
    const float* rows[3][3];
    const float* lumaRows[3];
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < 3; ++c) rows[k][c] = planes[k][c].data() + 1;
        lumaRows[k] = lumas[k].data() + 1;
    }
    const float level = 0.3f;
    for (float sharpness : {0.0f, 0.5f}) {
        std::vector<float> out[3] = {std::vector<float>(n), std::vector<float>(n), std::vector<float>(n)};
        float* dst[3] = {out[0].data(), out[1].data(), out[2].data()};
        kernels::noiseReduceRow(rows, lumaRows, dst, n, level, sharpness);
        for (std::size_t i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c) {
                double wsum = 0, acc = 0, box = 0;
                for (int k = 0; k < 3; ++k)
                    for (int o = -1; o <= 1; ++o) {
                        const double w =
                            std::max(0.0, 1.0 - std::fabs(double(lumaRows[k][int(i) + o]) - lumaRows[1][i]) / level);
                        wsum += w;
                        acc += w * rows[k][c][int(i) + o];
                        box += rows[k][c][int(i) + o];
                    }
                const double smooth = acc / wsum;
                EXPECT_NEAR(out[c][i], smooth + sharpness * (smooth - box / 9), 1e-5) << i << " " << sharpness;
            }
    }
}

#if HWY_ARCH_X86 && defined(__linux__)
TEST(KernelTargets, TheBestInstructionSetsTheProcessorAndSystemRun) {
    // The engine detects the instruction sets itself; the system's list of the processor's
    // features (which leaves out those whose registers it does not save) must agree.
    std::ifstream info("/proc/cpuinfo");
    std::set<std::string> flags;
    for (std::string line; std::getline(info, line);)
        if (line.rfind("flags", 0) == 0) {
            std::istringstream words(line.substr(line.find(':') + 1));
            for (std::string w; words >> w;) flags.insert(w);
            break;
        }
    if (flags.empty()) GTEST_SKIP() << "no processor flags to compare with";
    auto all = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (!flags.count(n)) return false;
        return true;
    };
    const bool ssse3 = all({"sse", "sse2", "pni", "ssse3"});
    const bool sse4 = ssse3 && all({"sse4_1", "sse4_2", "pclmulqdq", "aes"});
    // (Leading-zero counting, which the kernels also need, is not named alike on every machine: some
    // virtual machines leave "abm" out of the list while the processor has it.)
    const bool avx2 = sse4 && all({"avx", "avx2", "bmi1", "bmi2", "fma", "f16c"});
    const bool avx3 = avx2 && all({"avx512f", "avx512vl", "avx512dq", "avx512bw"});
    const std::int64_t supported = hwy::SupportedTargets();
    EXPECT_EQ((supported & HWY_SSSE3) != 0, ssse3);
    EXPECT_EQ((supported & HWY_SSE4) != 0, sse4);
    EXPECT_EQ((supported & HWY_AVX2) != 0, avx2);
    EXPECT_EQ((supported & HWY_AVX3) != 0, avx3);
    // The kernels run on the best of those they were built for (the lowest bit is the best).
    const std::int64_t usable = supported & HWY_TARGETS;
    ASSERT_NE(usable, 0);
    EXPECT_STREQ(kernels::targetName(), hwy::TargetName(usable & -usable));
}
#endif
