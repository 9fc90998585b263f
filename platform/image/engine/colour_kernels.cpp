// Colour kernels (curves, matrices, colour controls, vignettes), built per instruction set, chosen at run time.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/image/engine/kernels.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "platform/image/engine/colour_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "platform/image/engine/kernel_helpers-inl.h"

HWY_BEFORE_NAMESPACE();
namespace korva_kernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void Curve(float* x, std::size_t n, const float* lut, std::size_t size) {
    const DF df;
    const DI di;
    const VF scale = hn::Set(df, static_cast<float>(size - 1));
    const VF top = hn::Set(df, static_cast<float>(size - 2));
    ForPlanes(x, nullptr, nullptr, nullptr, n, [&](float* px, float*, float*, float*, std::size_t) {
        const VF pos = hn::Mul(Clamp01(hn::LoadU(df, px)), scale);
        const VF base = hn::Min(hn::Floor(pos), top);
        const VF f = hn::Sub(pos, base);
        const auto idx = hn::ConvertTo(di, base);
        const VF y0 = hn::GatherIndex(df, lut, idx);
        const VF y1 = hn::GatherIndex(df, lut + 1, idx);
        hn::StoreU(hn::MulAdd(hn::Sub(y1, y0), f, y0), df, px);
    });
}

void GammaTwoCurve(float* x, std::size_t n, const kernels::CubicSegments& sp) {
    const DF df;
    const VF zero = hn::Zero(df);
    const VF first = hn::Set(df, sp.knot[0]), last = hn::Set(df, sp.knot[sp.segments]);
    const VF low = hn::Set(df, sp.low), high = hn::Set(df, sp.high);
    ForPlanes(x, nullptr, nullptr, nullptr, n, [&](float* px, float*, float*, float*, std::size_t) {
        const VF u = hn::Sqrt(Clamp01(hn::LoadU(df, px)));
        VF a = hn::Set(df, sp.a[0]), b = hn::Set(df, sp.b[0]), c = hn::Set(df, sp.c[0]), d = hn::Set(df, sp.d[0]);
        for (int k = 1; k < sp.segments; ++k) {
            const auto in = hn::Ge(u, hn::Set(df, sp.knot[k]));
            a = hn::IfThenElse(in, hn::Set(df, sp.a[k]), a);
            b = hn::IfThenElse(in, hn::Set(df, sp.b[k]), b);
            c = hn::IfThenElse(in, hn::Set(df, sp.c[k]), c);
            d = hn::IfThenElse(in, hn::Set(df, sp.d[k]), d);
        }
        VF y = hn::MulAdd(hn::MulAdd(hn::MulAdd(d, u, c), u, b), u, a);
        y = hn::IfThenElse(hn::Lt(u, first), low, y);
        y = hn::IfThenElse(hn::Ge(u, last), high, y);
        y = hn::Max(y, zero);
        hn::StoreU(hn::Mul(y, y), df, px);
    });
}

void Matrix3(float* r, float* g, float* b, std::size_t n, const float* m, const float* offset) {
    const DF df;
    VF k[9];
    for (int i = 0; i < 9; ++i) k[i] = hn::Set(df, m[i]);
    const VF o0 = hn::Set(df, offset ? offset[0] : 0.0f);
    const VF o1 = hn::Set(df, offset ? offset[1] : 0.0f);
    const VF o2 = hn::Set(df, offset ? offset[2] : 0.0f);
    ForPlanes(r, g, b, nullptr, n, [&](float* pr, float* pg, float* pb, float*, std::size_t) {
        const VF vr = hn::LoadU(df, pr), vg = hn::LoadU(df, pg), vb = hn::LoadU(df, pb);
        hn::StoreU(hn::MulAdd(k[0], vr, hn::MulAdd(k[1], vg, hn::MulAdd(k[2], vb, o0))), df, pr);
        hn::StoreU(hn::MulAdd(k[3], vr, hn::MulAdd(k[4], vg, hn::MulAdd(k[5], vb, o1))), df, pg);
        hn::StoreU(hn::MulAdd(k[6], vr, hn::MulAdd(k[7], vg, hn::MulAdd(k[8], vb, o2))), df, pb);
    });
}

void ColorControls(float* r, float* g, float* b, std::size_t n, float saturation, float brightness, float contrast) {
    const DF df;
    const VF wr = hn::Set(df, 0.2125f), wg = hn::Set(df, 0.7154f), wb = hn::Set(df, 0.0721f);
    const VF s = hn::Set(df, saturation), br = hn::Set(df, brightness), c = hn::Set(df, contrast);
    const VF half = hn::Set(df, 0.5f);
    ForPlanes(r, g, b, nullptr, n, [&](float* pr, float* pg, float* pb, float*, std::size_t) {
        const VF vr = hn::LoadU(df, pr), vg = hn::LoadU(df, pg), vb = hn::LoadU(df, pb);
        const VF y = hn::MulAdd(wr, vr, hn::MulAdd(wg, vg, hn::Mul(wb, vb)));
        auto adjust = [&](VF v) {
            VF t = hn::Add(Lerp(y, v, s), br);
            return hn::MulAdd(hn::Sub(t, half), c, half);
        };
        hn::StoreU(adjust(vr), df, pr);
        hn::StoreU(adjust(vg), df, pg);
        hn::StoreU(adjust(vb), df, pb);
    });
}

void Vignette(float* r, float* g, float* b, float* a, std::size_t n, float x0, float y0, float dx, float dy, float k,
              float intensity) {
    const DF df;
    const VF iota = hn::Iota(df, 0.0f);
    const VF one = hn::Set(df, 1.0f);
    const VF vk = hn::Set(df, k), vi = hn::Set(df, intensity);
    (void)a;
    ForPlanes(r, g, b, nullptr, n, [&](float* pr, float* pg, float* pb, float*, std::size_t i) {
        const VF idx = hn::Add(iota, hn::Set(df, static_cast<float>(i)));
        const VF x = hn::MulAdd(idx, hn::Set(df, dx), hn::Set(df, x0));
        const VF y = hn::MulAdd(idx, hn::Set(df, dy), hn::Set(df, y0));
        const VF t2 = hn::Mul(hn::MulAdd(x, x, hn::Mul(y, y)), vk);
        const VF q = hn::Add(one, t2);
        const VF fall = hn::Sub(one, hn::Div(one, hn::Mul(q, q)));
        const VF m = hn::NegMulAdd(vi, fall, one);
        hn::StoreU(hn::Mul(hn::LoadU(df, pr), m), df, pr);
        hn::StoreU(hn::Mul(hn::LoadU(df, pg), m), df, pg);
        hn::StoreU(hn::Mul(hn::LoadU(df, pb), m), df, pb);
    });
}

void SourceOver(float* dr, float* dg, float* db, float* da, const float* sr, const float* sg, const float* sb,
                const float* sa, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        float keep = 1.0f - sa[i];
        dr[i] = sr[i] + dr[i] * keep;
        dg[i] = sg[i] + dg[i] * keep;
        db[i] = sb[i] + db[i] * keep;
        da[i] = sa[i] + da[i] * keep;
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace korva_kernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace korva_kernels {
HWY_EXPORT(Curve);
HWY_EXPORT(Matrix3);
HWY_EXPORT(GammaTwoCurve);
HWY_EXPORT(ColorControls);
HWY_EXPORT(Vignette);
HWY_EXPORT(SourceOver);
}  // namespace korva_kernels

namespace kernels {
using namespace korva_kernels;

void curve(float* x, std::size_t n, const float* lut, std::size_t size) {
    HWY_DYNAMIC_DISPATCH(Curve)(x, n, lut, size);
}
void gammaTwoCurve(float* x, std::size_t n, const CubicSegments& s) {
    HWY_DYNAMIC_DISPATCH(GammaTwoCurve)(x, n, s);
}
void matrix3(float* r, float* g, float* b, std::size_t n, const float* m, const float* offset) {
    HWY_DYNAMIC_DISPATCH(Matrix3)(r, g, b, n, m, offset);
}
void colorControls(float* r, float* g, float* b, std::size_t n, float saturation, float brightness, float contrast) {
    HWY_DYNAMIC_DISPATCH(ColorControls)(r, g, b, n, saturation, brightness, contrast);
}
void vignette(float* r, float* g, float* b, float* a, std::size_t n, float x0, float y0, float dx, float dy, float k,
              float intensity) {
    HWY_DYNAMIC_DISPATCH(Vignette)(r, g, b, a, n, x0, y0, dx, dy, k, intensity);
}
void sourceOver(float* dr, float* dg, float* db, float* da, const float* sr, const float* sg, const float* sb,
                const float* sa, std::size_t n) {
    HWY_DYNAMIC_DISPATCH(SourceOver)(dr, dg, db, da, sr, sg, sb, sa, n);
}

}  // namespace kernels
#endif
