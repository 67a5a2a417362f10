#include "data/tablecontent.h"

TUpdateStatus UpdateStatusOf(quint8 statusByte) {
    if (statusByte & rsModified)
        return TUpdateStatus::Modified;
    if (statusByte & rsDeleted)
        return TUpdateStatus::Deleted;
    if (statusByte & rsInserted)
        return TUpdateStatus::Inserted;
    return TUpdateStatus::Unchanged;
}

int TTableContent::fieldIndex(QStringView name) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TTableContent::isDelta() const {
    for (const auto &property : properties)
        if (property.first == u"DATASET_DELTA")
            return property.second.compare(u"FALSE", Qt::CaseInsensitive) != 0 &&
                   property.second != u"0";
    return false;
}
