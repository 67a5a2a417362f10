#include "screens/profile/tfpasschange.h"

#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "net/settings/settings.h"
#include "screens/profile/passwordrequest.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tfpasschange::Tfpasschange(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), ed_old(new QLineEdit(this)),
      ed_new(new QLineEdit(this)), ed_new2(new QLineEdit(this)),
      btnok(new QPushButton(CommonText(1), this)), btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("fpasschange"));
    setWindowTitle(AppText(205));
    auto *form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    const QList<QPair<int, QLineEdit *>> rows{{200, ed_old}, {201, ed_new}, {202, ed_new2}};
    for (const auto &[caption, edit] : rows) {
        edit->setEchoMode(QLineEdit::Password);
        form->addRow(AppText(caption), edit);
    }
    ed_old->setObjectName(QStringLiteral("ed_old"));
    ed_new->setObjectName(QStringLiteral("ed_new"));
    ed_new2->setObjectName(QStringLiteral("ed_new2"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(300, sizeHint().height());
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfpasschange::btnokClick() {
    const QString oldPass = ed_old->text();
    const QString newPass = ed_new->text();
    if (oldPass != m_services.settings->loginPass) {
        AppMessageBox(AppText(203), mtWarning, mbOK);
        reject();
        return;
    }
    if (newPass != ed_new2->text()) {
        AppMessageBox(AppText(204), mtWarning, mbOK);
        ed_new->setFocus();
        return;
    }
    if (newPass == oldPass) {
        reject();
        return;
    }
    // A password the settings file cannot hold is refused before anything is sent.
    AppSettings values = *m_services.settings;
    values.loginPass = newPass;
    CheckSettingsGroup(sgLoginPass, values);
    ServerRequest request;
    request.action = QStringLiteral("changepass");
    request.data = ChangePasswordData(newPass);
    const RequestOutcome outcome = RunRequest(request);
    ReportResult(outcome);
    if (!outcome.ok())
        return;
    m_services.settings->loginPass = newPass;
    SaveSettings(sgLoginPass);
    accept();
}
