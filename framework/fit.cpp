#include "framework/fit.h"

#include <cmath>

namespace kv {

void FitRect(FitRecord& r) {
    // Single-precision reals; each quotient-product is worked out wider and rounded when stored.
    using wide = long double;
    const float A = static_cast<float>(r.areaWidth), B = static_cast<float>(r.areaHeight);
    const float a = static_cast<float>(r.width), b = static_cast<float>(r.height);
    float outW, outH;
    if (A >= a && B <= b) {
        outH = B;
        outW = static_cast<float>(wide(B) / b * a);
    } else if (A <= a && B >= b) {
        outW = A;
        outH = static_cast<float>(wide(A) / a * b);
    } else {
        if (std::fabs(wide(A) - a) > std::fabs(wide(B) - b)) {
            outW = A;
            outH = static_cast<float>(wide(A) / a * b);
        } else {
            outH = B;
            outW = static_cast<float>(wide(B) / b * a);
        }
        if (outW > A) {
            outH = static_cast<float>(wide(A) / outW * outH);
            outW = A;
        }
        if (outH > B) {
            outW = static_cast<float>(wide(B) / outH * outW);
            outH = B;
        }
    }
    r.width = static_cast<int>(std::trunc(outW));
    r.height = static_cast<int>(std::trunc(outH));
    r.fittedWidth = outW;
    r.fittedHeight = outH;
}

}  // namespace kv
