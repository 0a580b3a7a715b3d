#include "framework/sim/sim_printer.h"

namespace kv {

bool SimPrinter::setupDialog() {
    ++setupCalls;
    return onSetup && onSetup(*this);
}

bool SimPrinter::beginDoc(const std::string& title) {
    if (printing_ || !current || failBegin) return false;
    begun.push_back(title.substr(0, 31));
    printing_ = true;
    return true;
}

bool SimPrinter::endDoc() {
    if (!printing_) return false;
    printing_ = false;
    ++ended;
    return !failEnd;
}

void SimPrinter::abortDoc() {
    if (!printing_) return;
    printing_ = false;
    ++aborted;
}

}  // namespace kv
