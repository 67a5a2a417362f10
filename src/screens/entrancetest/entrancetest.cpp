#include "screens/entrancetest/entrancetest.h"

#include "base/locations.h"
#include "base/logging.h"
#include "richtext/rtfreader.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "net/settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

template <class W> W *named(W *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}

QString contentPath(const QString &name) {
    return AppLocations().programFolder + u'/' + name;
}

} // namespace

Tfentrancetest::Tfentrancetest(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services) {
    setObjectName(QStringLiteral("Tfentrancetest"));
    setModal(true);
    setWindowTitle(AppText(80));
    buildControls();
    connect(btn_back, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { showPage(currentPage() - 1); }); });
    connect(btn_next, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { nextClicked(); }); });
    connect(btn_cancel, &QPushButton::clicked, this, &Tfentrancetest::reject);
}

void Tfentrancetest::Run(const TServices &services, QWidget *parent) {
    Tfentrancetest dialog(services, parent);
    dialog.LoadContent();
    dialog.exec();
}

void Tfentrancetest::buildControls() {
    m_pages = named(new QStackedWidget(this), QStringLiteral("pages"));
    m_pages->addWidget(buildWelcomePage());
    for (int page = 0; page < PageCount - 1; ++page)
        m_pages->addWidget(buildTestPage(page));

    btn_back = named(new QPushButton(AppText(81), this), QStringLiteral("btn_back"));
    btn_next = named(new QPushButton(AppText(92), this), QStringLiteral("btn_next"));
    btn_next->setDefault(true);
    btn_cancel = named(new QPushButton(CommonText(2), this), QStringLiteral("btn_cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_back);
    buttons->addWidget(btn_next);
    buttons->addSpacing(12);
    buttons->addWidget(btn_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *Tfentrancetest::buildWelcomePage() {
    auto *page = new QWidget;
    re_welcome = named(new QTextEdit(page), QStringLiteral("re_welcome"));
    re_welcome->setReadOnly(true);
    re_welcome->setFixedSize(600, 400);
    chbdontshow = named(new QCheckBox(AppText(83), page), QStringLiteral("chbdontshow"));
    // The text never holds the focus: it goes to the check box instead.
    re_welcome->setFocusProxy(chbdontshow);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(re_welcome);
    layout->addWidget(chbdontshow);
    return page;
}

QWidget *Tfentrancetest::buildTestPage(int page) {
    auto *widget = new QWidget;
    auto *heading =
        named(new QLabel(AppText(84 + page), widget), QStringLiteral("lb_heading%1").arg(page + 1));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    for (int row = 0; row < ItemsPerPage; ++row) {
        const int number = page * ItemsPerPage + row + 1;
        auto *answers = named(new QComboBox(widget), QStringLiteral("cb_item%1").arg(number));
        answers->setEditable(false);
        answers->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto *sentence = new QHBoxLayout;
        sentence->setSpacing(4);
        sentence->addWidget(named(new QLabel(widget), QStringLiteral("lb_before%1").arg(number)));
        sentence->addWidget(answers);
        sentence->addWidget(named(new QLabel(widget), QStringLiteral("lb_after%1").arg(number)));
        sentence->addStretch();
        grid->addWidget(new QLabel(QStringLiteral("%1.").arg(number), widget), row, 0,
                        Qt::AlignRight);
        grid->addLayout(sentence, row, 1, 1, 2);
        m_answers.append(answers);
    }
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addStretch();
    return widget;
}

void Tfentrancetest::LoadContent() {
    const QString welcome = contentPath(QStringLiteral("welcome%1.rtf").arg(LanguageIndex()));
    QFile file(welcome);
    QByteArray rtf;
    if (file.open(QIODevice::ReadOnly) && file.size() <= RtfReader::MaxInputSize)
        rtf = file.readAll();
    const RtfReadResult read = RtfReader::read(rtf, *re_welcome->document());
    if (!read.ok()) {
        qCWarning(lcScreens).noquote()
            << "Welcome text" << welcome << "not read:"
            << (file.error() != QFile::NoError ? file.errorString() : read.describe());
        throw AppError(AppText(1500).arg(welcome));
    }
    const QString itemsPath = contentPath(QStringLiteral("entrancetest.txt"));
    QString error;
    m_items = TestItems::Load(itemsPath, error);
    if (m_items.isEmpty()) {
        qCWarning(lcScreens).noquote() << "Test items" << itemsPath << "not read:" << error;
        throw AppError(AppText(1501).arg(itemsPath));
    }
    fillItems();
}

void Tfentrancetest::fillItems() {
    for (qsizetype i = 0; i < m_answers.size() && i < m_items.size(); ++i) {
        const TestItem &item = m_items[i];
        const int number = int(i) + 1;
        findChild<QLabel *>(QStringLiteral("lb_before%1").arg(number))->setText(item.before);
        findChild<QLabel *>(QStringLiteral("lb_after%1").arg(number))->setText(item.after);
        QComboBox *answers = m_answers[i];
        answers->clear();
        answers->addItems(item.answers);
        answers->setCurrentIndex(-1);
    }
}

void Tfentrancetest::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        showPage(0);
}

int Tfentrancetest::currentPage() const {
    return m_pages->currentIndex();
}

void Tfentrancetest::showPage(int page) {
    page = qBound(0, page, PageCount - 1);
    m_pages->setCurrentIndex(page);
    btn_back->setEnabled(page > 0);
    btn_next->setText(AppText(page == 0 ? 92 : page == PageCount - 1 ? 90 : 82));
    if (page == 0)
        chbdontshow->setFocus(Qt::OtherFocusReason);
}

void Tfentrancetest::nextClicked() {
    if (currentPage() < PageCount - 1)
        showPage(currentPage() + 1);
    else
        finish();
}

int Tfentrancetest::Score() const {
    int score = 0;
    for (const QComboBox *answers : m_answers)
        if (answers->currentIndex() >= 0 && TestItems::IsCorrect(answers->currentText()))
            ++score;
    return score;
}

QString Tfentrancetest::SentText(int score, int items) {
    return AppText(89) + u'\n' + FormatText(AppText(1074), {score, items});
}

void Tfentrancetest::finish() {
    if (AppMessageBox(AppText(88), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ServerRequest request;
    request.action = QStringLiteral("posttestresult");
    request.data = "testresult=" + QByteArray::number(Score());
    request.useDialog = true;
    const RequestOutcome outcome = RunRequest(request);
    ReportResult(outcome);
    if (!outcome.ok())
        return; // stays on the last page; finishing can be tried again
    AppMessageBox(SentText(Score(), int(m_answers.size())), mtInformation, mbOK);
    accept();
}

void Tfentrancetest::reject() {
    RunGuarded([this] {
        if (AppMessageBox(AppText(91), mtConfirmation, mbYes | mbNo) == mrYes)
            QDialog::reject();
    });
}

void Tfentrancetest::done(int result) {
    QDialog::done(result);
    RunGuarded([this] {
        m_services.settings->runWizardOnStartup = !chbdontshow->isChecked();
        SaveSettings(sgWizard);
    });
}
