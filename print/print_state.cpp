#include "print/print_state.h"

#include "framework/platform.h"
#include "host/entry.h"
#include "print/print_form.h"

namespace kv::print {

PrintState& state() {
    static PrintState s;
    return s;
}

void setDefaults() {
    PrintState& s = state();
    s.dialogOpen = 0;
    s.zoom = 1.0;
    s.measureUnit = 1;
}

}  // namespace kv::print

namespace kv::entry {

void PrintDlg95(uintptr_t hostWindow, int32_t pictureWidth, int32_t pictureHeight, int32_t noEnhance) {
    print::PrintState& st = print::state();
    // One dialog at a time. A picture without a size has no layout (its doubling to the page
    // size would never end): such a call opens nothing either.
    if (st.dialogOpen != 0 || st.form || pictureWidth <= 0 || pictureHeight <= 0) return;
    st.hostWindow = hostWindow;
    st.pictureWidth = pictureWidth;
    st.pictureHeight = pictureHeight;
    auto* form = new print::TPrintForm();
    st.form = form;
    form->show();
    ui().processMessages();
    // The dialog may have gone while its messages ran (closed at once).
    if (st.form == form && noEnhance > 0) {
        form->Enhance->setChecked(false);
        form->Enhance->setEnabled(false);
    }
}

void PrintEnd95() {
    print::PrintState& st = print::state();
    if (st.printing) {
        st.printing = false;
        if (PrinterPort* p = ports().printer; p && p->printing()) p->endDoc();
    }
    if (st.form) st.form->close();
}

int32_t PrintCheck95() { return print::state().dialogOpen != 0 ? 1 : 0; }

}  // namespace kv::entry
