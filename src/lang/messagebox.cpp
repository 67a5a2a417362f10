#include "lang/messagebox.h"

#include "lang/seam.h"
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

QString buttonCaption(int code, bool slovak) {
    switch (code) {
    case mrOK:
        return QStringLiteral("OK");
    case mrCancel:
        return slovak ? QStringLiteral("Zrušiť") : QStringLiteral("Zrušit");
    case mrAbort:
        return slovak ? QStringLiteral("Prerušiť") : QStringLiteral("Přerušit");
    case mrRetry:
        return slovak ? QStringLiteral("Opakovať") : QStringLiteral("Opakovat");
    case mrIgnore:
        return slovak ? QStringLiteral("Ignorovať") : QStringLiteral("Ignorovat");
    case mrYes:
        return slovak ? QStringLiteral("Áno") : QStringLiteral("Ano");
    case mrNo:
        return slovak ? QStringLiteral("Nie") : QStringLiteral("Ne");
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
    const bool slovak = LanguageIndex() == LangSlovak;
    for (int code : shown)
        request.buttonCaptions.append(buttonCaption(code, slovak));
    request.helpContext = helpContext;
    return CurrentSeam().messageBox(request);
}

int g_busyDepth = 0;
int g_cursorBeforeBusy = -1;

} // namespace

QString MessageCaption(int type) {
    const bool slovak = LanguageIndex() == LangSlovak;
    switch (type) {
    case mtWarning:
        return slovak ? QStringLiteral("Upozornenie") : QStringLiteral("Upozornění");
    case mtError:
        return QStringLiteral("Chyba");
    case mtInformation:
    case mtCustom:
        return slovak ? QStringLiteral("Informácia") : QStringLiteral("Informace");
    case mtConfirmation:
        return slovak ? QStringLiteral("Potvrdenie") : QStringLiteral("Potvrzení");
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
