#include "grid/controls/fielddatalink.h"

#include "grid/controls/datasource.h"

TFieldDataLink::TFieldDataLink(QObject *parent) : QObject(parent) {}

void TFieldDataLink::SetDataSource(TDataSource *source) {
    for (const auto &connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        for (auto signal :
             {&TDataSource::dataSetChanged, &TDataSource::dataChanged, &TDataSource::scrolled,
              &TDataSource::recordChanged, &TDataSource::stateChanged})
            m_connections.append(connect(source, signal, this, &TFieldDataLink::dataChange));
        m_connections.append(
            connect(source, &TDataSource::fieldChanged, this, &TFieldDataLink::fieldChanged));
        m_connections.append(
            connect(source, &TDataSource::updateData, this, &TFieldDataLink::updateData));
    }
    emit dataChange();
}

void TFieldDataLink::SetFieldName(const QString &name) {
    m_fieldName = name;
    emit dataChange();
}

void TFieldDataLink::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    emit dataChange();
}

void TFieldDataLink::fieldChanged(int field) {
    const auto own = Field();
    if (own && own->Index() == field)
        emit dataChange();
}

std::optional<TField> TFieldDataLink::Field() const {
    if (!m_source || !m_source->Active() || m_fieldName.isEmpty())
        return std::nullopt;
    return m_source->DataSet()->FindField(m_fieldName);
}

bool TFieldDataLink::CanModify() const {
    const auto field = Field();
    return field && !m_readOnly && !field->Def().readOnly && m_source->DataSet()->CanModify();
}

bool TFieldDataLink::Editing() const {
    const TTableState state = m_source ? m_source->State() : TTableState::Inactive;
    return state == TTableState::Edit || state == TTableState::Insert;
}

bool TFieldDataLink::Edit() {
    if (!CanModify())
        return false;
    m_source->Edit();
    return Editing();
}
