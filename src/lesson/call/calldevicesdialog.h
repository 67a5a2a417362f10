#pragma once

#include "callpage.h"

#include <QDialog>

class QComboBox;
struct AppSettings;

// The call's devices: microphone, speaker and camera by name, each defaulting to the system's.
// The lists come from the call page; the choice is kept in the settings file.
class TCallDevicesDialog : public QDialog {
    Q_OBJECT
public:
    TCallDevicesDialog(TCallPage &media, AppSettings &settings, QWidget *parent = nullptr);

    QComboBox *cbMicrophone, *cbSpeaker, *cbCamera;

    // Shows the dialog; after OK the choice is stored.
    static void Choose(TCallPage &media, AppSettings &settings, QWidget *parent);

private:
    void fill(const QList<TCallPage::Device> &devices);
    void store();

    AppSettings &m_settings;
};
