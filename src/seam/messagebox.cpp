#include "seam/messagebox.h"

#include "seam/seam.h"
#include "lang/texts.h"

#include <QList>
#include <array>

namespace {

struct ButtonSet {
    int buttons;
    QList<int> shown;
};

// The allowed button sets with the buttons in the order they are shown.
const std::array<ButtonSet, 6> kButtonSets = {{
    {mbOK, {mrOK}},
    {mbOK | mbCancel, {mrOK, mrCancel}},
    {mbYes | mbNo, {mrYes, mrNo}},
    {mbYes | mbNo | mbCancel, {mrYes, mrNo, mrCancel}},
    {mbCancel | mbRetry, {mrRetry, mrCancel}},
    {mbAbort | mbRetry | mbIgnore, {mrAbort, mrRetry, mrIgnore}},
}};

QString buttonCaption(int code) {
    switch (code) {
    case mrOK:
        return QStringLiteral("OK");
    case mrCancel:
        return AppText(1066);
    case mrAbort:
        return AppText(1067);
    case mrRetry:
        return AppText(1068);
    case mrIgnore:
        return AppText(1069);
    case mrYes:
        return AppText(1070);
    case mrNo:
        return AppText(1071);
    }
    return {};
}

int showBox(const QString &caption, const QString &text, int type, const QList<int> &shown,
            int helpContext) {
    MessageBoxRequest request;
    request.caption = caption;
    request.text = text;
    request.type = type;
    request.buttons = shown;
    for (int code : shown)
        request.buttonCaptions.append(buttonCaption(code));
    request.helpContext = helpContext;
    return CurrentSeam().messageBox(request);
}

int g_busyDepth = 0;
int g_cursorBeforeBusy = -1;

} // namespace

QString MessageCaption(int type) {
    switch (type) {
    case mtWarning:
        return AppText(1062);
    case mtError:
        return AppText(1063);
    case mtInformation:
    case mtCustom:
        return AppText(1064);
    case mtConfirmation:
        return AppText(1065);
    }
    return {};
}

int AppMessageBox(const QString &text, int type, int buttons, int helpContext) {
    for (const ButtonSet &set : kButtonSets) {
        if (set.buttons == buttons)
            return showBox(MessageCaption(type), text, type, set.shown, helpContext);
    }
    showBox(QStringLiteral("Tellavo"), QStringLiteral("Msgdlg buttons error!"), -1, {mrOK}, 0);
    return showBox(MessageCaption(type), text, type, {mrOK}, helpContext);
}

void BeginBusyCursor(int shape) {
    if (g_busyDepth == 0) {
        g_cursorBeforeBusy = CurrentSeam().currentCursor();
        CurrentSeam().showCursor(shape);
    }
    ++g_busyDepth;
}

void EndBusyCursor() {
    if (g_busyDepth < 1)
        return;
    if (--g_busyDepth == 0)
        CurrentSeam().showCursor(g_cursorBeforeBusy);
}

int BusyCursorDepth() {
    return g_busyDepth;
}
