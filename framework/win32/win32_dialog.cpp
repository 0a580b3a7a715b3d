// The standard message dialog: a modal form of the library's own, titled by the kind of
// message, with the kind's symbol, the text and a row of buttons. Every part carries its
// automation name ("Message", "Yes", "No", "OK", ...).
#include <algorithm>
#include <vector>

#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

namespace kv::win32 {

namespace {

LPCSTR iconOf(DialogKind kind) {
    switch (kind) {
        case DialogKind::Warning: return IDI_EXCLAMATION;
        case DialogKind::Error: return IDI_HAND;
        case DialogKind::Information: return IDI_ASTERISK;
        case DialogKind::Confirmation: return IDI_QUESTION;
        case DialogKind::Custom: break;
    }
    return nullptr;
}

struct ButtonKind {
    DialogButton bit;
    const char* name;
    const char* caption;
    ModalResult result;
};

// In the order the buttons stand in the dialog.
constexpr ButtonKind kButtons[] = {
    {BtnYes, "Yes", "&Yes", ModalResult::Yes},         {BtnNo, "No", "&No", ModalResult::No},
    {BtnOK, "OK", "OK", ModalResult::OK},              {BtnCancel, "Cancel", "Cancel", ModalResult::Cancel},
    {BtnAbort, "Abort", "&Abort", ModalResult::Abort}, {BtnRetry, "Retry", "&Retry", ModalResult::Retry},
    {BtnIgnore, "Ignore", "&Ignore", ModalResult::Ignore}, {BtnAll, "All", "&All", ModalResult::All},
    {BtnHelp, "Help", "&Help", ModalResult::None},
};

constexpr int kMargin = 8, kIconSize = 32, kGap = 10, kButtonWidth = 75, kButtonHeight = 25, kButtonGap = 8;

}  // namespace

ModalResult showMessageDialog(const std::string& text, DialogKind kind, unsigned buttons) {
    if ((buttons & ~static_cast<unsigned>(BtnHelp)) == 0) buttons |= BtnOK;

    Form f("MessageDialog");
    f.borderStyle = BorderStyle::Dialog;
    f.systemMenu = true;
    f.setCaption(dialogTitle(kind));
    Font font;  // MS Sans Serif 8
    f.setFont(font);

    // The text's size: lines broken at the line breaks and, past half the screen, at blanks.
    const detail::Scale s = detail::systemScale();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, detail::fontOf(font, s.dpi));
    RECT tr{0, 0, std::max(s.px(200), GetSystemMetrics(SM_CXSCREEN) / 2), 0};
    DrawTextA(dc, text.c_str(), -1, &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int textW = s.layoutCeil(tr.right) + 2, textH = std::max<int>(s.layoutCeil(tr.bottom), 13);

    LPCSTR iconId = iconOf(kind);
    int textLeft = kMargin + (iconId ? kIconSize + kGap : 0);
    int topH = std::max(iconId ? kIconSize : 0, textH);

    std::vector<const ButtonKind*> shown;
    for (const ButtonKind& b : kButtons)
        if (buttons & b.bit) shown.push_back(&b);
    int rowW = static_cast<int>(shown.size()) * kButtonWidth + (static_cast<int>(shown.size()) - 1) * kButtonGap;
    int clientW = std::max(textLeft + textW + kMargin, rowW + 2 * kMargin);
    int buttonTop = kMargin + topH + kGap + 4;
    int clientH = buttonTop + kButtonHeight + kMargin;

    Image* icon = nullptr;
    if (iconId) {
        icon = make<Image>(&f, "Image");
        icon->setBounds(kMargin, kMargin, kIconSize, kIconSize);
    }
    Label* message = make<Label>(&f, "Message");
    message->setBounds(textLeft, kMargin + (topH - textH) / 2, textW, textH);
    message->setCaption(text);

    // Enter answers with OK or Yes, Esc with Cancel, No or OK.
    ModalResult defaultResult = (buttons & BtnOK) ? ModalResult::OK : (buttons & BtnYes) ? ModalResult::Yes : ModalResult::None;
    ModalResult cancelResult = (buttons & BtnCancel) ? ModalResult::Cancel
                               : (buttons & BtnNo)   ? ModalResult::No
                                                     : ModalResult::OK;
    Button* focus = nullptr;
    int x = (clientW - rowW) / 2;
    for (const ButtonKind* k : shown) {
        Button* b = make<Button>(&f, k->name);
        b->setCaption(k->caption);
        b->setBounds(x, buttonTop, kButtonWidth, kButtonHeight);
        b->modalResult = k->result;
        b->cancel = k->result == cancelResult;
        if (k->result == defaultResult || (!focus && k == shown.front())) focus = b;
        x += kButtonWidth + kButtonGap;
    }

    f.setClientSize(clientW, clientH);
    detail::realizeTree(f);
    if (icon) detail::setImageIcon(*icon, LoadIconA(nullptr, iconId));
    f.setBounds((s.layout(GetSystemMetrics(SM_CXSCREEN)) - f.width()) / 2,
                (s.layout(GetSystemMetrics(SM_CYSCREEN)) - f.height()) / 2, f.width(), f.height());
    if (focus) focus->setFocus();

    ModalResult r = f.showModal();
    // Closing the window answers as Esc does.
    if (r == ModalResult::Cancel || r == ModalResult::None) r = cancelResult;
    return r;
}

}  // namespace kv::win32
