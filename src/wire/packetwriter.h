#pragma once

#include "wire/tablecontent.h"

#include <QByteArray>

// The text encoding of a written packet.
enum class TPacketEncoding {
    SingleByte, // Windows-1250, declaration without "encoding"
    Utf8,       // declaration encoding="UTF-8"
};

// What a writer does with text that a packet cannot carry exactly (control characters, lone
// surrogates, and in the single-byte encoding a memo's characters beyond the code page):
// refuse it with an AppError, or write "?" in place of each such character, which is what
// the server does with such text found in its database.
enum class TUnwritableText { Refuse, Replace };

// Writes a data packet: the declaration, METADATA with the fields and PARAMS, then the rows
// one by one, then the end. Values take the packet's text forms and attribute escapes;
// characters the single-byte code page lacks are written as character references.
class TPacketWriter {
public:
    TPacketWriter(const QList<TFieldDef> &fields, const TRecordStore &store,
                  TPacketEncoding encoding, TUnwritableText unwritable = TUnwritableText::Refuse);

    // Writes everything up to the first row. Properties are the attributes of "PARAMS".
    void begin(const QList<QPair<QString, QString>> &properties,
               const QList<TOptionalParam> &params);
    // One "ROW" with the record's non-null values; status 0 writes no "RowState".
    // With onlyFields (a bit per field) only those fields are written.
    void row(quint32 record, quint8 status, const std::vector<bool> *onlyFields = nullptr);
    QByteArray finish();
    // Reserves room for the expected size of the packet.
    void reserve(qsizetype bytes) { m_out.reserve(bytes); }

private:
    void attribute(const char *name, QStringView value);
    // Raises AppError naming what holds a character that the packet cannot carry.
    void escaped(QStringView value, const QString &what);
    void value(quint32 record, int field);

    const QList<TFieldDef> &m_fields;
    const TRecordStore &m_store;
    TPacketEncoding m_encoding;
    TUnwritableText m_unwritable;
    QByteArray m_out;
    std::vector<QByteArray> m_names; // ' NAME="' of every field, encoded once
};

// The full packet of table content, every row as stored with its status byte.
QByteArray WriteDataPacket(const TTableContent &content, TPacketEncoding encoding,
                           TUnwritableText unwritable = TUnwritableText::Refuse);
