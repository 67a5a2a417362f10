#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringEncoder>

// An export file written whole or not at all: text is gathered, encoded and written in large
// pieces, and the file replaces any earlier one only when Commit succeeds. A file that cannot
// be created or written raises AppError naming the file and the reason; an uncommitted file
// leaves nothing behind.
class TOutputFile {
public:
    // encoding: "windows-1250" or "utf-8".
    TOutputFile(const QString &fileName, const char *encoding);
    ~TOutputFile();
    TOutputFile(const TOutputFile &) = delete;
    TOutputFile &operator=(const TOutputFile &) = delete;

    void Write(QStringView text);
    void WriteBytes(const QByteArray &bytes);
    void Commit();

private:
    void flush();
    [[noreturn]] void fail();

    QSaveFile m_file;
    QStringEncoder m_encoder;
    QString m_pending;
};
