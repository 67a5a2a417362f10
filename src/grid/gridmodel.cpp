#include "grid/gridmodel.h"

#include "grid/controls/datasource.h"
#include "grid/standardformats.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor toQColor(TColor color) {
    if (IsSystemColor(color))
        return QGuiApplication::palette().color(QPalette::WindowText);
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

Qt::Alignment toAlignment(TColumnAlignment alignment) {
    switch (alignment) {
    case TColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TColumnAlignment::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case TColumnAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

TGridModel::TGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TGridModel::SetDataSource(TDataSource *source) {
    if (source == m_source)
        return;
    for (const auto &connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections = {
            connect(source, &TDataSource::dataSetChanged, this, &TGridModel::reset),
            connect(source, &TDataSource::dataChanged, this, &TGridModel::reset),
            connect(source, &TDataSource::stateChanged, this, &TGridModel::reset),
            connect(source, &TDataSource::scrolled, this, &TGridModel::currentMoved),
            connect(source, &TDataSource::recordChanged, this, &TGridModel::currentRecordChanged),
            connect(source, &TDataSource::fieldChanged, this, &TGridModel::currentRecordChanged),
            connect(source, &QObject::destroyed, this, &TGridModel::reset),
        };
    }
    reset();
}

TClientTable *TGridModel::ActiveTable() const {
    return m_source && m_source->Active() ? m_source->DataSet() : nullptr;
}

void TGridModel::resolveFields() {
    m_fields.clear();
    const TClientTable *table = ActiveTable();
    for (const TColumn &column : m_columns)
        m_fields.append(table ? table->FieldIndex(column.fieldName) : -1);
}

void TGridModel::reset() {
    beginResetModel();
    const TClientTable *table = ActiveTable();
    m_rows = table ? table->RecordCount() + (table->State() == TTableState::Insert ? 1 : 0) : 0;
    m_currentRow = table ? table->CurrentPos() : -1;
    resolveFields();
    endResetModel();
    emit currentRowChanged(m_currentRow);
}

void TGridModel::currentMoved() {
    const TClientTable *table = ActiveTable();
    const int row = table ? table->CurrentPos() : -1;
    if (row == m_currentRow)
        return;
    const int previous = m_currentRow;
    m_currentRow = row;
    if (previous >= 0 && previous < m_rows)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < m_rows)
        emit headerDataChanged(Qt::Vertical, row, row);
    emit currentRowChanged(row);
}

void TGridModel::currentRecordChanged() {
    const int row = CurrentRow();
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void TGridModel::SetColumns(const TColumnList &columns) {
    beginResetModel();
    m_columns = columns;
    if (m_hotColumn >= m_columns.size())
        m_hotColumn = -1;
    resolveFields();
    endResetModel();
    emit columnsReset();
    emit currentRowChanged(m_currentRow);
}

void TGridModel::MoveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= m_columns.size() || to >= m_columns.size())
        return;
    TColumnList columns = m_columns;
    columns.move(from, to);
    SetColumns(columns);
}

void TGridModel::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < m_columns.size())
        m_columns[column].width = width;
}

void TGridModel::SetColumnFontColors(int column, TColor title, TColor cell) {
    if (column < 0 || column >= m_columns.size())
        return;
    TColumn &target = m_columns[column];
    if (target.titleColor == title && target.cellColor == cell)
        return;
    target.titleColor = title;
    target.cellColor = cell;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column), {Qt::ForegroundRole});
}

void TGridModel::SetColorOddRows(const QColor &color) {
    m_colorOddRows = color;
    if (m_rows > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1),
                         {Qt::BackgroundRole});
}

void TGridModel::SetHotTitle(int column, const QColor &color) {
    if (column == m_hotColumn && color == m_hotColor)
        return;
    const int previous = m_hotColumn;
    m_hotColumn = column;
    m_hotColor = color;
    if (previous >= 0)
        emit headerDataChanged(Qt::Horizontal, previous, previous);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

int TGridModel::RecordNumberOfRow(int row) const {
    const TClientTable *table = ActiveTable();
    if (!table || row < 0 || row >= m_rows)
        return -1;
    if (table->State() == TTableState::Insert) {
        const int inserted = table->CurrentPos();
        if (row == inserted)
            return -1;
        return row < inserted ? row + 1 : row;
    }
    return row + 1;
}

int TGridModel::CurrentRow() const {
    const TClientTable *table = ActiveTable();
    return table ? table->CurrentPos() : -1;
}

int TGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TGridModel::data(const QModelIndex &index, int role) const {
    const int column = index.column();
    if (!index.isValid() || column >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const TClientTable *table = ActiveTable();
        const int field = m_fields.value(column, -1);
        if (!table || field < 0)
            return QString();
        return GridCellText(table->FieldDefs()[field], table->ValueAt(index.row(), field));
    }
    case Qt::TextAlignmentRole:
        return int(toAlignment(m_columns[column].alignment));
    case Qt::ForegroundRole:
        return toQColor(m_columns[column].cellColor);
    case Qt::BackgroundRole: {
        const int number = RecordNumberOfRow(index.row());
        if (m_colorOddRows.isValid() && number > 0 && number % 2 == 0)
            return m_colorOddRows;
        return {};
    }
    default:
        return {};
    }
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role != Qt::DisplayRole || section != CurrentRow())
            return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        const TClientTable *table = ActiveTable();
        switch (table ? table->State() : TTableState::Browse) {
        case TTableState::Edit:
            return QStringLiteral("I");
        case TTableState::Insert:
            return QStringLiteral("*");
        default:
            return QStringLiteral("\u25B6");
        }
    }
    if (section < 0 || section >= m_columns.size())
        return {};
    const TColumn &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.caption;
    case Qt::TextAlignmentRole:
        return int(toAlignment(column.alignment));
    case Qt::ForegroundRole:
        return section == m_hotColumn && m_hotColor.isValid() ? m_hotColor
                                                              : toQColor(column.titleColor);
    default:
        return {};
    }
}
