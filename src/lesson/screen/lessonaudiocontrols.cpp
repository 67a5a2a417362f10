#include "lessonaudiocontrols.h"

#include "lang/texts.h"
#include "lesson/books/bookfiles.h"
#include "lesson/screen/lessonbuttons.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

using namespace LessonButtons;

TLessonAudioControls::TLessonAudioControls(QWidget *parent)
    : QWidget(parent), spbplay(makeIconButton(this, "spbplay", QStyle::SP_MediaPlay)),
      spbpause(makeIconButton(this, "spbpause", QStyle::SP_MediaPause)),
      spbstop(makeIconButton(this, "spbstop", QStyle::SP_MediaStop)),
      spbaudio(makeButton(this, "spbaudio")), pma(makeMenu(this, "pma")) {
    setObjectName(QStringLiteral("pnaudio"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(spbplay);
    row->addWidget(spbpause);
    row->addWidget(spbstop);
    row->addWidget(spbaudio, 1);
    // The menu opens one pixel right of the button.
    connect(spbaudio, &QToolButton::clicked, this,
            [this] { pma->popup(spbaudio->mapToGlobal(QPoint(spbaudio->width() + 1, 0))); });
}

void TLessonAudioControls::setCaptions() {
    spbpause->setToolTip(AppText(1648));
    spbplay->setToolTip(AppText(245));
    spbstop->setToolTip(AppText(246));
    spbaudio->setText(AppText(248));
    spbaudio->setToolTip(AppText(247));
    for (QToolButton *button : {spbpause, spbplay, spbstop})
        button->setAccessibleName(button->toolTip());
}

void TLessonAudioControls::clearMenu() {
    LessonButtons::clearMenu(pma);
    m_current = 0;
}

void TLessonAudioControls::buildMenu(const tbook &book, int page, bool locked) {
    clearMenu();
    QActionGroup *group = radioGroup(pma);
    for (int index : PageRecordings(book, book.html ? 0 : page)) {
        // A recording without a title is offered by its number.
        const QString title = book.recordingTitles.value(index);
        QAction *item = pma->addAction(title.isEmpty() ? QString::number(index) : title);
        item->setCheckable(true);
        item->setData(index);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { emit recordingChosen(item); });
        if (pma->actions().size() == 1)
            choose(item);
    }
    spbaudio->setEnabled(!pma->isEmpty() && !locked);
}

QAction *TLessonAudioControls::entry(int index) const {
    QAction *found = nullptr;
    for (QAction *item : pma->actions()) {
        if (item->data().toInt() == index)
            found = item;
    }
    return found;
}

void TLessonAudioControls::choose(QAction *item) {
    item->setChecked(true);
    m_current = item->data().toInt();
}
