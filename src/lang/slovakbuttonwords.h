#pragma once

#include <QTranslator>

// Words Qt's Slovak catalogue lacks: the standard buttons of dialogs ("Save", "Cancel" in
// the file dialog and message boxes). Installed behind the catalogue, so it is asked only
// when the catalogue has no translation.
class SlovakButtonWords : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *disambiguation,
                      int n) const override;
};
