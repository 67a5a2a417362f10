#include "classroombar.h"

#include "lang/texts.h"
#include "lesson/screen/lessonbuttons.h"

#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

using namespace LessonButtons;

namespace {

// Wide enough for "Zpět k vyučujícímu" and its Slovak text.
constexpr int ColumnWidth = 150;

} // namespace

TClassroomBar::TClassroomBar(QWidget *parent)
    : QWidget(parent), lbstate(new QLabel(this)),
      spblookaround(makeButton(this, "spblookaround")), spbpointer(makeButton(this, "spbpointer")),
      spbhighlight(makeButton(this, "spbhighlight")), spbclear(makeButton(this, "spbclear")),
      spballowdraw(makeButton(this, "spballowdraw")), spbsendnotes(makeButton(this, "spbsendnotes")),
      spbnotes(makeButton(this, "spbnotes")), pmnotes(makeMenu(this, "pmnotes")) {
    setObjectName(QStringLiteral("pnclassroom"));
    setFixedWidth(ColumnWidth);
    lbstate->setObjectName(QStringLiteral("lbclassroomstate"));
    lbstate->setWordWrap(true);
    lbstate->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont bold = lbstate->font();
    bold.setBold(true);
    lbstate->setFont(bold);
    for (QToolButton *toggle : {spbpointer, spbhighlight, spballowdraw})
        toggle->setCheckable(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QWidget *part : std::initializer_list<QWidget *>{spblookaround, spbpointer, spbhighlight,
                                                          spbclear, spballowdraw, lbstate})
        layout->addWidget(part);
    layout->addStretch(1);
    layout->addWidget(spbsendnotes);
    layout->addWidget(spbnotes);
    spbnotes->setMenu(pmnotes);
    spbnotes->setPopupMode(QToolButton::InstantPopup);
    spbsendnotes->hide();
    spbnotes->hide();
}

void TClassroomBar::setCaptions() {
    spblookaround->setToolTip(AppText(1686));
    spbpointer->setText(AppText(1682));
    spbpointer->setToolTip(AppText(1691));
    spbhighlight->setText(AppText(1683));
    spbhighlight->setToolTip(AppText(1692));
    spbclear->setText(AppText(1684));
    spbclear->setToolTip(AppText(1693));
    spballowdraw->setText(AppText(1685));
    spballowdraw->setToolTip(AppText(1694));
    spbsendnotes->setText(AppText(1660));
    spbsendnotes->setToolTip(AppText(1661));
    spbnotes->setText(AppText(1662));
    spbnotes->setToolTip(AppText(1663));
    showLookingAround(false);
}

void TClassroomBar::showLookingAround(bool looking) {
    spblookaround->setText(AppText(looking ? 1681 : 1680));
}
