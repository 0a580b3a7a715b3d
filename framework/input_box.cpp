// The one-line text prompt, built from the framework's controls.
#include "framework/input_box.h"

#include <algorithm>

#include "framework/controls.h"
#include "framework/platform.h"

namespace kv {

namespace {
constexpr int kClientWidth = 300, kClientHeight = 100;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    Form dlg("InputBox");
    dlg.borderStyle = BorderStyle::Dialog;
    dlg.setCaption(caption);
    Label* label = make<Label>(&dlg, "Prompt");
    label->setBounds(8, 10, kClientWidth - 16, 16);
    label->setCaption(prompt);
    Edit* edit = make<Edit>(&dlg, "Value");
    edit->setBounds(8, 30, kClientWidth - 16, 21);
    edit->setText(value);
    Button* ok = make<Button>(&dlg, "BtnOK");
    ok->setBounds(kClientWidth / 2 - 83, 64, 75, 25);
    ok->setCaption("OK");
    ok->isDefault = true;
    ok->modalResult = ModalResult::OK;
    Button* cancel = make<Button>(&dlg, "BtnCancel");
    cancel->setBounds(kClientWidth / 2 + 8, 64, 75, 25);
    cancel->setCaption("Cancel");
    cancel->cancel = true;
    cancel->modalResult = ModalResult::Cancel;

    // Centred on the screen; the frame is a dialog frame with a caption.
    UserPort* u = ports().user;
    const FrameSize frame = frameOverhead(dlg.borderStyle);
    const int w = kClientWidth + frame.width, h = kClientHeight + frame.height;
    const int sw = u ? u->screenWidth() : w, sh = u ? u->screenHeight() : h;
    dlg.setBounds(std::max(0, (sw - w) / 2), std::max(0, (sh - h) / 2), w, h);
    dlg.setClientSize(kClientWidth, kClientHeight);
    dlg.onActivate = [edit](Control*) { ui().setFocus(*edit); };

    if (dlg.showModal() != ModalResult::OK) return false;
    value = edit->text();
    return true;
}

}  // namespace kv
