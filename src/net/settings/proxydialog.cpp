#include "net/settings/proxydialog.h"

#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/applyproxy.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <class W> W *named(W *widget, const char *name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

Tfproxy::Tfproxy(QWidget *parent) : QDialog(parent) {
    setModal(true);
    setWindowTitle(AppText(216));
    buildControls();
    connect(CheckBox2, &QCheckBox::clicked, this,
            [this] { RunGuarded([this] { applyEnabling(); }); });
    connect(CheckBox1, &QCheckBox::clicked, this,
            [this](bool on) { RunGuarded([this, on] { setSignInControlsEnabled(on); }); });
    connect(btn_detect, &QPushButton::clicked, this, [this] { detectClicked(); });
    connect(btn_close, &QPushButton::clicked, this, &QDialog::accept);
    edit2->installEventFilter(this);
}

void Tfproxy::buildControls() {
    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    CheckBox2 = named(new QCheckBox(AppText(217), group), "CheckBox2");
    btn_detect = named(new QPushButton(AppText(218), group), "btn_detect");
    auto *line = new QFrame(group);
    line->setFrameShape(QFrame::HLine);
    lb_proxyserver = named(new QLabel(AppText(219), group), "lb_proxyserver");
    edit1 = named(new QLineEdit(group), "edit1");
    lb_proxyport = named(new QLabel(AppText(220), group), "lb_proxyport");
    edit2 = named(new QLineEdit(group), "edit2");
    CheckBox1 = named(new QCheckBox(AppText(221), group), "CheckBox1");
    lb_proxyname = named(new QLabel(AppText(222), group), "lb_proxyname");
    Edit3 = named(new QLineEdit(group), "Edit3");
    lb_proxypass = named(new QLabel(AppText(223), group), "lb_proxypass");
    Edit4 = named(new QLineEdit(group), "Edit4");
    Edit4->setEchoMode(QLineEdit::Password);
    lb_proxyserver->setBuddy(edit1);
    lb_proxyport->setBuddy(edit2);
    lb_proxyname->setBuddy(Edit3);
    lb_proxypass->setBuddy(Edit4);

    rgonlineporttype = named(new QGroupBox(AppText(224), group), "rgonlineporttype");
    auto *choices = new QVBoxLayout(rgonlineporttype);
    m_portTypes = new QButtonGroup(this);
    QStringList captions;
    TextToLines(AppText(225), captions);
    for (int i = 0; i < captions.size(); ++i) {
        auto *radio = new QRadioButton(captions[i], rgonlineporttype);
        radio->setObjectName(QStringLiteral("rgonlineporttype_%1").arg(i));
        m_portTypes->addButton(radio, i);
        choices->addWidget(radio);
    }

    grid->addWidget(CheckBox2, 0, 0, 1, 3);
    grid->addWidget(btn_detect, 0, 3);
    grid->addWidget(line, 1, 0, 1, 4);
    grid->addWidget(lb_proxyserver, 2, 0);
    grid->addWidget(edit1, 2, 1);
    grid->addWidget(lb_proxyport, 2, 2);
    grid->addWidget(edit2, 2, 3);
    grid->addWidget(CheckBox1, 3, 0, 1, 4);
    grid->addWidget(lb_proxyname, 4, 0);
    grid->addWidget(Edit3, 4, 1);
    grid->addWidget(lb_proxypass, 4, 2);
    grid->addWidget(Edit4, 4, 3);
    grid->addWidget(rgonlineporttype, 5, 0, 1, 4);

    btn_close = named(new QPushButton(CommonText(15), this), "btn_close");
    btn_close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void Tfproxy::loadControls(const AppSettings &settings) {
    CheckBox2->setChecked(settings.proxyUse);
    edit1->setText(settings.proxyServer);
    edit2->setText(settings.proxyPort);
    CheckBox1->setChecked(settings.proxyAuthentication);
    Edit3->setText(settings.proxyName);
    Edit4->setText(settings.proxyPass);
    if (QAbstractButton *choice = m_portTypes->button(settings.onlinePortType))
        choice->setChecked(true);
}

void Tfproxy::storeControls(AppSettings &settings) const {
    settings.proxyUse = CheckBox2->isChecked();
    settings.proxyServer = edit1->text();
    settings.proxyPort = edit2->text();
    settings.proxyAuthentication = CheckBox1->isChecked();
    settings.proxyName = Edit3->text();
    settings.proxyPass = Edit4->text();
    settings.onlinePortType = qMax(0, m_portTypes->checkedId());
}

void Tfproxy::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    loadControls(Settings());
    applyEnabling();
    CheckBox2->setFocus(Qt::OtherFocusReason);
}

void Tfproxy::applyEnabling() {
    const bool proxy = CheckBox2->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(lb_proxyserver), static_cast<QWidget *>(edit1),
                       static_cast<QWidget *>(lb_proxyport), static_cast<QWidget *>(edit2),
                       static_cast<QWidget *>(CheckBox1)})
        w->setEnabled(proxy);
    setSignInControlsEnabled(proxy && CheckBox1->isChecked());
}

void Tfproxy::setSignInControlsEnabled(bool enabled) {
    for (QWidget *w : {static_cast<QWidget *>(lb_proxyname), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(lb_proxypass), static_cast<QWidget *>(Edit4)})
        w->setEnabled(enabled);
}

bool Tfproxy::checkPort() {
    if (!CheckBox2->isChecked() || ParseInteger(edit2->text()))
        return true;
    edit2->setFocus(Qt::OtherFocusReason);
    AppMessageBox(FormatText(CommonText(16), {edit2->text()}), mtError, mbOK);
    return false;
}

bool Tfproxy::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edit2 && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Only a move to another control of this dialog leaves the field; a message box or
        // another window taking the focus does not.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] { portLeft(); });
    }
    return QDialog::eventFilter(watched, event);
}

void Tfproxy::portLeft() {
    // A close attempt may already have put the focus back and reported the port.
    if (!isVisible() || edit2->hasFocus())
        return;
    RunGuarded([this] { checkPort(); });
}

void Tfproxy::done(int result) {
    bool canClose = false;
    RunGuarded([&] {
        if (!checkPort())
            return;
        AppSettings values = Settings();
        storeControls(values);
        CheckSettingsGroup(sgProxy, values);
        Settings() = values;
        canClose = true;
    });
    if (canClose)
        QDialog::done(result);
}

void Tfproxy::detectClicked() {
    RunGuarded([this] {
        const std::optional<ProxyAddress> found = SystemProxy();
        if (!found) {
            AppMessageBox(AppText(227), mtInformation, mbOK);
            return;
        }
        const QString port = QString::number(found->port);
        edit1->setText(found->host);
        edit2->setText(port);
        CheckBox2->setChecked(true);
        applyEnabling();
        AppMessageBox(FormatText(AppText(226), {found->host + u':' + port}), mtInformation, mbOK);
    });
}
