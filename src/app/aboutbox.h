#pragma once

#include <QDialog>
#include <functional>

// The about box: program title, version, and the maker's notice, e-mail and web address.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(QWidget *parent, std::function<void(const QString &)> openAddress);
};
