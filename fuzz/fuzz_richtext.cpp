// The rich-text reader (chat history, welcome texts): any bytes end in a status, never a
// crash, and the offset where reading stopped lies inside the input. What it read, written
// back as rich text, reads again without a complaint and shows the same text.
#include "fuzzcheck.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>

namespace {

// The document's text as a reader sees it: control characters other than tab and line end
// and embedded objects carry no text, and the writer leaves them out.
QString shownText(const QTextDocument &document) {
    QString text = document.toPlainText();
    text.removeIf([](QChar c) {
        const char16_t ch = c.unicode();
        return (ch < 0x20 && ch != u'\n' && ch != u'\t') || ch == 0x7F || ch == 0xFFFC;
    });
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts of the text document
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    const RtfReadResult result = RtfReader::read(bytes, document);
    FUZZ_CHECK(result.offset >= 0 && result.offset <= bytes.size());
    (void)result.describe();
    if (result.status == RtfStatus::NotRichText || result.status == RtfStatus::TooLarge)
        return 0;
    const QByteArray written = RtfWriter::write(document);
    QTextDocument again;
    const RtfReadResult reread = RtfReader::read(written, again);
    FUZZ_CHECK(reread.ok());
    FUZZ_CHECK(shownText(again) == shownText(document));
    return 0;
}
