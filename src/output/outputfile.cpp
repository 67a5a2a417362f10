#include "output/outputfile.h"

#include "base/logging.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QDir>

namespace {

constexpr qsizetype kFlushChars = 1 << 16;

} // namespace

TOutputFile::TOutputFile(const QString &fileName, const char *encoding)
    : m_file(fileName), m_encoder(encoding, QStringConverter::Flag::Stateless) {
    // Writing in place would leave a partial file behind on a failure; the temporary file
    // keeps the old one until the new one is complete.
    if (!m_file.open(QIODevice::WriteOnly))
        fail();
    m_pending.reserve(kFlushChars + 1024);
}

TOutputFile::~TOutputFile() {
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void TOutputFile::Write(QStringView text) {
    m_pending.append(text);
    if (m_pending.size() >= kFlushChars)
        flush();
}

void TOutputFile::WriteBytes(const QByteArray &bytes) {
    flush();
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void TOutputFile::flush() {
    if (m_pending.isEmpty())
        return;
    const QByteArray bytes = m_encoder.encode(m_pending);
    m_pending.truncate(0); // keeps the buffer for the next piece
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void TOutputFile::Commit() {
    flush();
    if (!m_file.commit())
        fail();
}

void TOutputFile::fail() {
    const QString reason = m_file.errorString();
    m_file.cancelWriting();
    qCWarning(lcOutput).noquote() << "writing" << m_file.fileName() << "failed:" << reason;
    throw AppError(
        FormatText(AppText(1700), {QDir::toNativeSeparators(m_file.fileName()), reason}));
}
