#include "net/progressdialog.h"

#include "seam/guard.h"
#include "lang/texts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

RequestProgressDialog::RequestProgressDialog(const QString &caption, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_upper(new QLabel(this)), m_lower(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(AppText(147), this)) {
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    m_bar->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_upper);
    layout->addWidget(m_bar);
    layout->addWidget(m_lower);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    setFixedSize(420, 140);
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { emit cancelRequested(); }); });
    m_clock.start();
    showStatus();
}

QString RequestProgressDialog::upperText() const {
    return m_upper->text();
}

QString RequestProgressDialog::lowerText() const {
    return m_lower->text();
}

void RequestProgressDialog::connected() {
    m_status.connected();
    showStatus();
}

void RequestProgressDialog::transferBegins(qint64 total, bool) {
    m_status.transferBegins(total, m_clock.elapsed());
    showStatus();
}

void RequestProgressDialog::transferProgress(qint64 count) {
    m_status.transferProgress(count, m_clock.elapsed());
    showStatus();
}

void RequestProgressDialog::transferEnds(bool sending) {
    m_status.transferEnds(sending);
    showStatus();
}

void RequestProgressDialog::reject() {
    RunGuarded([this] { emit cancelRequested(); });
}

void RequestProgressDialog::closeEvent(QCloseEvent *event) {
    event->ignore();
    reject();
}

void RequestProgressDialog::showStatus() {
    m_upper->setText(m_status.upper());
    m_lower->setText(m_status.lower());
    // The bar counts in int; very large transfers are shown in kilobytes. An unknown size
    // leaves an empty bar.
    const qint64 maximum = m_status.barMaximum();
    const qint64 scale = maximum > INT_MAX ? 1024 : 1;
    m_bar->setRange(0, int(qMax<qint64>(maximum / scale, 1)));
    m_bar->setValue(int(m_status.barValue() / scale));
}
