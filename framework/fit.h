// The largest rectangle with an object's proportions that fits an area, worked out in single
// precision (each quotient-product rounded when stored), as the print layout and the video
// player size their pictures.
#pragma once

namespace kv {

struct FitRecord {
    int areaWidth = 0, areaHeight = 0;  // input
    int width = 0, height = 0;          // input: the object; output: the fitted size, truncated
    double fittedWidth = 0, fittedHeight = 0;  // output, not truncated
};
void FitRect(FitRecord& r);

}  // namespace kv
