// The sim backend's printer: a page of chosen size and resolution, a scripted user for the
// platform's print dialog, and a record of the documents begun, ended and aborted.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace kv {

class SimPrinter : public PrinterPort {
public:
    // The printer's page; empty for "no printer installed".
    std::optional<PrinterPage> current = PrinterPage{4800, 6600, 600, 600, 24, 1, false, "Sim Printer"};
    bool failBegin = false;  // the printer cannot start a job
    bool failEnd = false;    // the printer refuses the finished page
    // The user in the print dialog: may change `current`, returns whether they confirmed.
    // Without it the dialog is cancelled.
    std::function<bool(SimPrinter&)> onSetup;
    uintptr_t dc = 0x5150;  // the page's drawing surface handed out

    // The record.
    std::vector<std::string> begun;  // titles of the documents begun
    int ended = 0, aborted = 0, setupCalls = 0;

    std::optional<PrinterPage> page() override { return current; }
    bool setupDialog() override;
    bool beginDoc(const std::string& title) override;
    uintptr_t surface() override { return printing_ ? dc : 0; }
    bool printing() override { return printing_; }
    bool endDoc() override;
    void abortDoc() override;

private:
    bool printing_ = false;
};

}  // namespace kv
