// What every benchmark program prints its figures through. A run that could not measure
// something (the window never showed, a dialog never came) records the reason instead of a
// number; such a figure prints no median: the program says what it could not measure and why,
// and exits with status 1 at the end, after the figures it did measure.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace kv::bench {

inline bool& anyUnmeasured() {
    static bool flag = false;
    return flag;
}

// Prints that a figure could not be measured and why; the program's status becomes 1.
inline void notMeasured(const std::string& figure, const std::string& why) {
    std::printf("[ NOT MEASURED ] %s: %s\n", figure.c_str(), why.c_str());
    anyUnmeasured() = true;
}

// The runs of one figure in milliseconds. add() takes a time, or a negative value for a run
// that did not measure, with the reason that run failed.
class Runs {
public:
    explicit Runs(std::string figure) : figure_(std::move(figure)) {}
    void add(double ms, const std::string& whyNot) {
        if (ms >= 0) ms_.push_back(ms);
        else if (why_.empty()) why_ = whyNot;
    }
    // True when every run measured; otherwise reports the first reason (once).
    bool measured() {
        if (why_.empty() && !ms_.empty()) return true;
        if (!reported_) notMeasured(figure_, why_.empty() ? "no run" : why_);
        reported_ = true;
        return false;
    }
    double median() const { return at(ms_.size() / 2); }
    double fastest() const { return at(0); }
    double slowest() const { return at(ms_.size() - 1); }
    size_t count() const { return ms_.size(); }
    const std::vector<double>& values() const { return ms_; }

private:
    double at(size_t i) const {
        std::vector<double> v = ms_;
        std::sort(v.begin(), v.end());
        return v.at(i);
    }
    std::string figure_, why_;
    std::vector<double> ms_;
    bool reported_ = false;
};

// One measurement: true when it was taken, else reports it.
inline bool measured(const std::string& figure, double ms, const std::string& whyNot) {
    if (ms >= 0) return true;
    notMeasured(figure, whyNot);
    return false;
}

// The program's exit status: 1 when a figure could not be measured, else the given one.
inline int exitStatus(int otherwise = 0) {
    return anyUnmeasured() ? 1 : otherwise;
}

}  // namespace kv::bench
