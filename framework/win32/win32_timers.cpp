// Timers of the library's windows: thread timers of the platform, delivered through whatever
// message loop runs (the host's, for a modeless window), each running its object's event.
#include <windows.h>

#include <map>

#include "framework/timer.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32::detail {

namespace {

std::map<UINT_PTR, Timer*> g_timers;  // platform timer id -> its object

void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = g_timers.find(id);
    if (it == g_timers.end()) return;
    Timer* t = it->second;
    guarded([&] { t->tick(); });
}

}  // namespace

void timerChanged(Timer& t) {
    auto id = reinterpret_cast<UINT_PTR>(t.peer);
    if (id) {
        KillTimer(nullptr, id);
        g_timers.erase(id);
        t.peer = nullptr;
    }
    if (!t.enabled()) return;
    id = SetTimer(nullptr, 0, static_cast<UINT>(t.interval() > 0 ? t.interval() : 1), timerProc);
    if (!id) return;
    g_timers[id] = &t;
    t.peer = reinterpret_cast<void*>(id);
}

}  // namespace kv::win32::detail
