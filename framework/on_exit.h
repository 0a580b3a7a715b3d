// Runs a clean-up when a scope ends, whether by return or by a throw.
#pragma once
#include <utility>

namespace kv {

template <class F>
class OnExit {
public:
    explicit OnExit(F f) : f_(std::move(f)) {}
    ~OnExit() { f_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    F f_;
};

}  // namespace kv
