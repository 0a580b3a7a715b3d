// A timer of a window: while enabled, onTimer runs every `interval` milliseconds from the
// message loop the window lives in (the host's, for a modeless window). The backend starts
// and stops the platform's timer; a test's sim backend ticks it by hand (tick()).
#pragma once
#include "framework/controls.h"

namespace kv {

class Timer {
public:
    explicit Timer(std::string name, int interval = 1000) : name_(std::move(name)), interval_(interval) {}
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    int interval() const { return interval_; }
    void setInterval(int ms);
    NotifyEvent onTimer;

    // One period has passed: runs onTimer when the timer is enabled.
    void tick();

    void* peer = nullptr;  // backend's platform timer

private:
    std::string name_;
    int interval_;
    bool enabled_ = false;
};

}  // namespace kv
