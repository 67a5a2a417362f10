#include "grid/columndef.h"

TColumn MakeColumn(const QString &fieldName, const QString &caption, int width, bool visible) {
    TColumn column;
    column.fieldName = fieldName;
    column.caption = caption;
    column.width = width;
    column.visible = visible;
    return column;
}

int FindColumnIndex(const TColumnList &columns, const QString &fieldName) {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}
