#include "calldevicesdialog.h"

#include "lang/texts.h"
#include "net/settings/settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace {

// A device list whose first item is the system's own choice (an empty name).
void fillList(QComboBox *box, const QList<TCallPage::Device> &devices, const QString &kind,
              const QString &chosen) {
    box->clear();
    box->addItem(AppText(1834), QString());
    for (const TCallPage::Device &device : devices)
        if (device.kind == kind)
            box->addItem(device.label, device.label);
    // A device chosen earlier and not present now stays chosen, for when it comes back.
    if (!chosen.isEmpty() && box->findData(chosen) < 0)
        box->addItem(chosen, chosen);
    box->setCurrentIndex(qMax(0, box->findData(chosen)));
}

} // namespace

TCallDevicesDialog::TCallDevicesDialog(TCallPage &media, AppSettings &settings, QWidget *parent)
    : QDialog(parent), cbMicrophone(new QComboBox(this)), cbSpeaker(new QComboBox(this)),
      cbCamera(new QComboBox(this)), m_settings(settings) {
    setObjectName(QStringLiteral("fcalldevices"));
    setWindowTitle(AppText(1830));
    cbMicrophone->setObjectName(QStringLiteral("cbMicrophone"));
    cbSpeaker->setObjectName(QStringLiteral("cbSpeaker"));
    cbCamera->setObjectName(QStringLiteral("cbCamera"));
    auto *form = new QFormLayout(this);
    form->addRow(AppText(1831), cbMicrophone);
    form->addRow(AppText(1832), cbSpeaker);
    form->addRow(AppText(1833), cbCamera);
    for (QComboBox *box : {cbMicrophone, cbSpeaker, cbCamera}) {
        box->setMinimumWidth(280);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    // (The form's labels are the lists' buddies: their Alt letters lead there.)
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(CommonText(1), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(CommonText(2), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    fill({});
    connect(&media, &TCallPage::devicesListed, this, &TCallDevicesDialog::fill);
    connect(this, &QDialog::accepted, this, &TCallDevicesDialog::store);
    media.listDevices();
}

void TCallDevicesDialog::fill(const QList<TCallPage::Device> &devices) {
    fillList(cbMicrophone, devices, QStringLiteral("audioinput"), m_settings.callMicrophone);
    fillList(cbSpeaker, devices, QStringLiteral("audiooutput"), m_settings.callSpeaker);
    fillList(cbCamera, devices, QStringLiteral("videoinput"), m_settings.callCamera);
}

void TCallDevicesDialog::store() {
    m_settings.callMicrophone = cbMicrophone->currentData().toString();
    m_settings.callSpeaker = cbSpeaker->currentData().toString();
    m_settings.callCamera = cbCamera->currentData().toString();
    SaveSettings(sgCall, m_settings);
}

void TCallDevicesDialog::Choose(TCallPage &media, AppSettings &settings, QWidget *parent) {
    TCallDevicesDialog dialog(media, settings, parent);
    dialog.exec();
}
