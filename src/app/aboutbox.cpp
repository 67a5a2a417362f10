#include "app/aboutbox.h"

#include "app/buttonart.h"
#include "base/version.h"
#include "lang/texts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const char *kContactMail = "info@tellavo.example";
const char *kWebSite = "https://tellavo.example/";
} // namespace

TAboutBox::TAboutBox(QWidget *parent, std::function<void(const QString &)> openAddress)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fabout"));
    setWindowTitle(AppText(1057));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(ButtonArt::AppIcon().pixmap(QSize(44, 44), ButtonArt::ScreenRatio()));
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(new QLabel(AppText(1058), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tellavo"), this), 0, 2);
    grid->addWidget(new QLabel(AppText(1059), this), 1, 1);
    auto *version = new QLabel(VersionText(ProgramVersion()), this);
    version->setObjectName(QStringLiteral("lb_version"));
    grid->addWidget(version, 1, 2);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    auto *picture = new QLabel(this);
    const qreal ratio = ButtonArt::ScreenRatio();
    QPixmap banner = ButtonArt::Banner(ratio * 300 / 450);
    banner.setDevicePixelRatio(ratio); // the same pixels shown at two thirds of the size
    picture->setPixmap(banner);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(AppText(1014), this));

    auto link = [&](const QString &text, const QString &address) {
        auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(address, text), this);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(label, &QLabel::linkActivated, this, [openAddress](const QString &target) {
            if (openAddress)
                openAddress(target);
        });
        layout->addWidget(label);
    };
    link(QString::fromLatin1(kContactMail),
         QStringLiteral("mailto:%1?subject=").arg(QString::fromLatin1(kContactMail)));
    link(QString::fromLatin1(kWebSite), QString::fromLatin1(kWebSite));
    // Esc closes the box (the dialog's own reject), and so does its button.
    auto *close = new QPushButton(CommonText(15), this);
    close->setObjectName(QStringLiteral("btn_close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    adjustSize();
    setFixedSize(sizeHint());
}
