#include "wire/tablecontent.h"

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

namespace {

bool propertySet(const QList<QPair<QString, QString>> &properties, QStringView name) {
    for (const auto &property : properties)
        if (property.first == name)
            return !property.second.trimmed().isEmpty() &&
                   property.second.compare(u"FALSE", Qt::CaseInsensitive) != 0 &&
                   property.second != u"0";
    return false;
}

} // namespace

bool TTableContent::isDelta() const {
    return propertySet(properties, u"DATASET_DELTA");
}

bool TTableContent::hasChangeLog() const {
    return propertySet(properties, u"CHANGE_LOG");
}
