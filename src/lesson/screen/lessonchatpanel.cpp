#include "lessonchatpanel.h"

#include "base/logging.h"
#include "lesson/screen/chatinput.h"
#include "richtext/chatstyle.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QScrollBar>
#include <QTextEdit>

namespace {

constexpr int InputHeight = 102;

} // namespace

TLessonChatPanel::TLessonChatPanel(int height, QWidget *parent)
    : QSplitter(Qt::Vertical, parent), memoread(new QTextEdit(this)),
      Memowrite(new TChatInput(this)) {
    setObjectName(QStringLiteral("chatsplitter"));
    memoread->setObjectName(QStringLiteral("memoread"));
    memoread->setReadOnly(true);
    memoread->setAcceptRichText(true);
    memoread->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoread->setFocusPolicy(Qt::StrongFocus); // read with the keys too
    memoread->document()->setDefaultFont(ChatStyle::historyFont());
    Memowrite->setObjectName(QStringLiteral("Memowrite"));
    Memowrite->setFont(ChatStyle::historyFont());
    addWidget(memoread);
    addWidget(Memowrite);
    setStretchFactor(0, 1);
    setSizes({height - InputHeight, InputHeight});
    setChildrenCollapsible(false);
}

// The history is read-only again once the message is in.
void TLessonChatPanel::addMessage(const QString &header, const QStringList &lines, bool received) {
    memoread->setReadOnly(false);
    ChatStyle::appendMessage(*memoread->document(), header, lines, received);
    memoread->setReadOnly(true);
    scrollToEnd();
    m_changed = true;
}

bool TLessonChatPanel::loadHistory(const QByteArray &rtf) {
    memoread->clear();
    const RtfReadResult read = RtfReader::read(rtf, *memoread->document());
    if (!read.ok())
        qCWarning(lcLesson) << "chat history:" << read.describe();
    scrollToEnd();
    return read.ok();
}

QByteArray TLessonChatPanel::historyRtf() const {
    return RtfWriter::write(*memoread->document());
}

void TLessonChatPanel::forgetHistory() {
    memoread->clear();
    m_loaded = false;
}

void TLessonChatPanel::scrollToEnd() {
    memoread->verticalScrollBar()->setValue(memoread->verticalScrollBar()->maximum());
}
