// Marks the work whose window-server requests bench/count_requests.sh counts. Each mark is a
// global atom with a name of its own, which the server's trace (WINEDEBUG=+server) shows as an
// add_atom request of the marking thread; the script counts that thread's requests between
// "kv-begin <what>" and "kv-end <what>". The atom is deleted again at once.
#pragma once

#include <windows.h>

#include <string>

namespace kv::bench {

inline void markRequests(const char* edge, const std::string& what) {
    const std::string name = std::string(edge) + " " + what;
    if (ATOM a = GlobalAddAtomA(name.c_str())) GlobalDeleteAtom(a);
}

// Runs `work` between the two marks.
template <class Work>
void countedRequests(const std::string& what, Work work) {
    markRequests("kv-begin", what);
    work();
    markRequests("kv-end", what);
}

}  // namespace kv::bench
