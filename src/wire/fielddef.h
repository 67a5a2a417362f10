#pragma once

#include "wire/value.h"

#include <QString>

// The packet field types of a client table.
enum class TFieldType : quint8 {
    I1,
    UI1,
    I2,
    UI2,
    I4,
    UI4,
    I8,
    UI8, // integers of 8 to 64 bits
    R8,  // 8-byte float (with SUBTYPE "Money" a currency amount)
    Fixed,
    FixedFMT, // decimal number with a declared scale
    Boolean,
    Date,
    Time,
    DateTime,
    SQLDateTime,
    String,
    StringUni,
    BinHex, // binary data or long text, Base64 in packets
};

// The packet type name ("i4", "dateTime", "bin.hex" ...) and back; an unknown name gives false.
QString FieldTypeName(TFieldType type);
bool FieldTypeFromName(QStringView name, TFieldType &type);

// Describes one field of a client table: name, packet type and its refinements, and flags.
struct TFieldDef {
    QString name;
    TFieldType type = TFieldType::String;
    int width = 0;    // "WIDTH": size of string and bin.hex fields, digits of fixed fields
    int decimals = 0; // "DECIMALS": scale of fixed fields
    QString subtype;  // "SUBTYPE": "Text", "Binary", "Money", "Autoinc" ...
    bool readOnly = false;
    bool required = false;
    bool hidden = false;
    bool linkField = false;
    // Formats for showing and editing the value ("#,##0.00", "dd.mm.yyyy" ...); empty means
    // the plain text form. Set by the controls that show the field; never in packets.
    QString displayFormat;
    QString editFormat;

    // The kind of value the field holds.
    TValue::Kind valueKind() const;
    // A long text ("bin.hex" with SUBTYPE "Text"), shown and read as text.
    bool isMemo() const;
    // Binary large object: "bin.hex" that is not a memo.
    bool isBlob() const;
};

// What the program set on a field beyond what it was loaded with (the formats, and any flag
// it changed), carried over to a field loaded again: a re-read of a table keeps them.
bool ProgramChangedField(const TFieldDef &loaded, const TFieldDef &current);
void CarryProgramSettings(const TFieldDef &loaded, const TFieldDef &current, TFieldDef &reloaded);

// Builds a field definition in one expression (tests, tables made in code).
TFieldDef MakeField(const QString &name, TFieldType type, int width = 0);
