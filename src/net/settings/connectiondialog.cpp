#include "net/settings/connectiondialog.h"

#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "net/settings/proxydialog.h"
#include "net/settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The program's title as its windows show it.
const QString kApplicationTitle = QStringLiteral("Tellavo");

template <class W> W *named(W *widget, const char *name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The name of an interface language as the system writes it, in that language.
QString languageName(int index) {
    const QLocale::Language language =
        LanguageIdentifier(index) == 0x041B ? QLocale::Slovak : QLocale::Czech;
    QString name = QLocale(language).nativeLanguageName();
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

} // namespace

Tfconnection::Tfconnection(bool installMode, QWidget *parent)
    : QDialog(parent), m_installMode(installMode) {
    setModal(true);
    setWindowTitle(installMode ? kApplicationTitle + QStringLiteral(" - ") + AppText(180)
                               : AppText(180));
    buildControls();
    fillLanguages();
    m_proxy = new Tfproxy(this);
    connect(btn_ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btn_proxy, &QPushButton::clicked, this, [this] { proxyClicked(); });
    connect(btn_cafile, &QPushButton::clicked, this, [this] { caFileClicked(); });
    connect(chbssl, &QCheckBox::toggled, this, [this] { enableTlsControls(); });
    connect(chbtlsverify, &QCheckBox::toggled, this, [this] { enableTlsControls(); });
}

void Tfconnection::buildControls() {
    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    auto *lb_loginname = named(new QLabel(AppText(181), group), "lb_loginname");
    edloginname = named(new QLineEdit(group), "edloginname");
    auto *lb_loginpass = named(new QLabel(AppText(182), group), "lb_loginpass");
    edloginpass = named(new QLineEdit(group), "edloginpass");
    edloginpass->setEchoMode(QLineEdit::Password);
    auto *lb_lang = named(new QLabel(AppText(183), group), "lb_lang");
    cb_lang = named(new QComboBox(group), "cb_lang");
    cb_lang->setEditable(false);
    chbautoconnect = named(new QCheckBox(AppText(184), group), "chbautoconnect");
    chbssl = named(new QCheckBox(AppText(185), group), "chbssl");
    chbtlsverify = named(new QCheckBox(AppText(1006), group), "chbtlsverify");
    auto *lb_cafile = named(new QLabel(AppText(1007), group), "lb_cafile");
    edcafile = named(new QLineEdit(group), "edcafile");
    btn_cafile = named(new QPushButton(AppText(1008), group), "btn_cafile");
    lb_cafile->setBuddy(edcafile);
    btn_proxy = named(new QPushButton(AppText(186), group), "btn_proxy");
    lb_loginname->setBuddy(edloginname);
    lb_loginpass->setBuddy(edloginpass);
    lb_lang->setBuddy(cb_lang);

    grid->addWidget(lb_loginname, 0, 0);
    grid->addWidget(edloginname, 0, 1);
    grid->addWidget(lb_loginpass, 1, 0);
    grid->addWidget(edloginpass, 1, 1);
    grid->addWidget(lb_lang, 2, 0);
    grid->addWidget(cb_lang, 2, 1);
    grid->addWidget(chbautoconnect, 3, 0, 1, 2);
    grid->addWidget(chbssl, 4, 0, 1, 2);
    grid->addWidget(chbtlsverify, 5, 0, 1, 2);
    auto *caRow = new QHBoxLayout;
    caRow->addWidget(edcafile, 1);
    caRow->addWidget(btn_cafile);
    grid->addWidget(lb_cafile, 6, 0);
    grid->addLayout(caRow, 6, 1);
    grid->addWidget(btn_proxy, 7, 0, 1, 2, Qt::AlignLeft);

    btn_ok = named(new QPushButton(CommonText(1), this), "btn_ok");
    btn_ok->setDefault(true);
    btn_cancel = named(new QPushButton(CommonText(2), this), "btn_cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_ok);
    buttons->addWidget(btn_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void Tfconnection::fillLanguages() {
    for (int index = 1; index <= 3; ++index) {
        if (LanguageIdentifier(index) != 0)
            cb_lang->addItem(languageName(index), index);
    }
}

void Tfconnection::loadControls() {
    const AppSettings &s = Settings();
    edloginname->setText(s.loginName);
    edloginpass->setText(s.loginPass);
    chbautoconnect->setChecked(s.autoConnect);
    chbssl->setChecked(s.useSsl);
    chbtlsverify->setChecked(s.tlsVerify);
    edcafile->setText(s.caFile);
    enableTlsControls();
    int row = cb_lang->findData(s.langId);
    if (row < 0)
        row = cb_lang->findData(LanguageIndex());
    cb_lang->setCurrentIndex(qMax(row, 0));
}

void Tfconnection::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    loadControls();
    m_openedLanguage = cb_lang->currentData().toInt();
    // An empty name asks for the name first; otherwise the dialog itself holds the focus.
    if (edloginname->text().isEmpty())
        edloginname->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void Tfconnection::okClicked() {
    RunGuarded([this] {
        AppSettings values = Settings();
        values.loginName = edloginname->text();
        values.loginPass = edloginpass->text();
        values.langId = cb_lang->currentData().toInt();
        values.autoConnect = chbautoconnect->isChecked();
        values.useSsl = chbssl->isChecked();
        values.tlsVerify = chbtlsverify->isChecked();
        values.caFile = edcafile->text().trimmed();
        SaveSettings(sgConnection, values);
        Settings() = values;
        if (values.langId != m_openedLanguage && !m_installMode)
            AppMessageBox(AppText(187), mtInformation, mbOK);
        accept();
    });
}

void Tfconnection::proxyClicked() {
    RunGuarded([this] {
        m_proxy->exec();
        SaveSettings(sgProxy);
    });
}

void Tfconnection::enableTlsControls() {
    // The trust settings matter only over HTTPS; the CA file only while verifying.
    chbtlsverify->setEnabled(chbssl->isChecked());
    const bool caFile = chbssl->isChecked() && chbtlsverify->isChecked();
    edcafile->setEnabled(caFile);
    btn_cafile->setEnabled(caFile);
}

void Tfconnection::caFileClicked() {
    RunGuarded([this] {
        FileDialogRequest request;
        request.caption = AppText(1009);
        request.fileName = edcafile->text();
        request.filter = AppText(1010);
        const QString chosen = CurrentSeam().fileDialog(request);
        if (!chosen.isEmpty())
            edcafile->setText(chosen);
    });
}

void Tfconnection::done(int result) {
    QDialog::done(result);
    RunGuarded([] { LoadSettings(); });
}

int RunInstallMode() {
    LoadSettings();
    Tfconnection dialog(true);
    dialog.exec();
    return 0;
}
