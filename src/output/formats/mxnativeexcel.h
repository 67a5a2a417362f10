#pragma once

#include <QByteArray>
#include <QString>

// Horizontal alignment of a cell.
enum TmxAlignment { xaGeneral, xaLeft, xaCenter, xaRight, xaFill, xaMulti };

// Moves of the cursor after each cell.
enum TmxDirection { xdUp = 1, xdDown = 2, xdLeft = 3, xdRight = 4 };

// Builds a one-sheet spreadsheet file in the binary interchange format in memory: BOF,
// DIMENSIONS and CODEPAGE when it begins, NUMBER, LABEL and COLWIDTH records as they are
// written, EOF when it ends; then saves it whole. Cells go to a cursor that moves after each
// cell in the chosen direction, wrapping at the sheet's edges.
class TmxNativeExcel {
public:
    TmxNativeExcel();

    // --- file ---
    void Begin();
    void End();
    bool Ended() const { return m_ended; }
    int Format() const { return m_format; }
    // 0 to 3; another format begins the file again.
    void SetFormat(int format);
    const QByteArray &Buffer() const { return m_buffer; }
    QString FileName() const { return m_fileName; }
    // The extension becomes ".XLS" unless it is ".xls" in any letter case.
    void SetFileName(const QString &name);
    // Writes the buffer to the file, replacing it; raises AppError when that fails.
    void Save() const;

    // --- sheet range (DIMENSIONS; the last row and column bound the cursor) ---
    quint16 FirstRow = 0, LastRow = 65535, FirstColumn = 0, LastColumn = 256;

    // --- cursor (1-based) ---
    int CursorRow() const { return m_row; }
    int CursorColumn() const { return m_column; }
    // Ignored for 0, for values past the last row or column and for the current value.
    void SetCursorRow(int row);
    void SetCursorColumn(int column);
    int Direction = xdRight;

    // --- attributes of the cells written ---
    bool Locked = true;
    bool Hidden = false;
    int Font = 0; // 0 to 3
    int Alignment = xaGeneral;
    bool BorderLeft = false, BorderRight = false, BorderTop = false, BorderBottom = false;
    bool Shaded = false;

    // --- cells ---
    void WriteNumber(double value);
    void WriteText(const QString &text);
    void WriteNumber(int row, int column, double value);
    void WriteText(int row, int column, const QString &text);
    // Column widths in characters for columns first to last (1 to 256); false when out of
    // range or 256 characters or wider.
    bool SetColumnWidth(int first, int last, int width);

    // Text in the Windows-1250 code page ("?" for characters outside it).
    static QByteArray Encode1250(QStringView text);

private:
    void record(quint16 type, quint16 length);
    void put16(quint16 value);
    void put32(quint32 value);
    void cellHeader(quint16 type, quint16 length);
    void advance();
    void ensureBegun();

    QByteArray m_buffer;
    int m_format = 3;
    bool m_ended = false;
    QString m_fileName;
    int m_row = 1;
    int m_column = 1;
};
