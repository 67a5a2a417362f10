#pragma once

#include "grid/columndef.h"
#include "grid/controls/datasource.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

// The table model behind a data grid: one row per visible record of the bound table in its
// current order, one column per grid column; answers every cell straight from the table
// (constant time), colours rows by record number and columns by their font colours, and
// marks the current record in the vertical header.
class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGridModel(QObject *parent = nullptr);

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_source; }
    // The bound table when the source shows data, otherwise none.
    TClientTable *ActiveTable() const;

    const TColumnList &Columns() const { return m_columns; }
    void SetColumns(const TColumnList &columns);
    void MoveColumn(int from, int to);
    void SetColumnWidth(int column, int width);
    void SetColumnFontColors(int column, TColor title, TColor cell);
    // The table's field shown in a column, or -1.
    int FieldIndexOf(int column) const { return m_fields.value(column, -1); }

    // Background of rows with an even record number; invalid: no colouring.
    void SetColorOddRows(const QColor &color);
    QColor ColorOddRows() const { return m_colorOddRows; }
    // The title shown in the highlight colour (-1: none).
    void SetHotTitle(int column, const QColor &color);
    int HotTitle() const { return m_hotColumn; }

    // The record number of a row counting from 1; -1 for a record being inserted.
    int RecordNumberOfRow(int row) const;
    // The row of the current record, or -1.
    int CurrentRow() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The column list was replaced or reordered: the grid applies widths and visibility.
    void columnsReset();
    // The current record moved to another row (-1: none).
    void currentRowChanged(int row);

private:
    void resolveFields();
    void reset();
    void currentMoved();
    void currentRecordChanged();

    QPointer<TDataSource> m_source;
    QList<QMetaObject::Connection> m_connections;
    TColumnList m_columns;
    QList<int> m_fields;
    int m_rows = 0;
    int m_currentRow = -1;
    QColor m_colorOddRows;
    int m_hotColumn = -1;
    QColor m_hotColor;
};
