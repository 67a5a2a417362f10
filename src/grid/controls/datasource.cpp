#include "grid/controls/datasource.h"

#include <QStringList>

TDataSource::TDataSource(QObject *parent) : QObject(parent) {}

TDataSource::TDataSource(TClientTable *table, QObject *parent) : QObject(parent) {
    SetDataSet(table);
}

TDataSource::~TDataSource() {
    detach();
}

void TDataSource::detach() {
    if (m_table && m_observer)
        m_table->RemoveObserver(m_observer);
    m_observer = 0;
    m_table = nullptr;
}

void TDataSource::SetDataSet(TClientTable *table) {
    if (table == m_table)
        return;
    detach();
    m_table = table;
    if (m_table)
        m_observer =
            m_table->AddObserver([this](TTableNotice what, int field) { notice(what, field); });
    emit dataSetChanged();
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit dataSetChanged();
}

bool TDataSource::Active() const {
    return m_enabled && m_table && m_table->Active();
}

TTableState TDataSource::State() const {
    return Active() ? m_table->State() : TTableState::Inactive;
}

QString TDataSource::NamePath() const {
    QStringList names;
    for (const QObject *object = this; object; object = object->parent())
        if (!object->objectName().isEmpty())
            names.prepend(object->objectName());
    return names.join(u'.');
}

void TDataSource::Edit() {
    if (m_table && m_table->State() == TTableState::Browse)
        m_table->Edit();
}

void TDataSource::UpdateRecord() {
    emit updateData();
}

void TDataSource::Post() {
    if (!m_table)
        return;
    const TTableState state = m_table->State();
    if (state != TTableState::Edit && state != TTableState::Insert)
        return;
    UpdateRecord();
    m_table->Post();
}

void TDataSource::notice(TTableNotice what, int field) {
    if (!m_enabled)
        return;
    switch (what) {
    case TTableNotice::Opened:
    case TTableNotice::Closed:
    case TTableNotice::Refreshed:
        emit dataSetChanged();
        break;
    case TTableNotice::DataChanged:
        emit dataChanged();
        break;
    case TTableNotice::Scrolled:
        emit scrolled();
        break;
    case TTableNotice::RecordChanged:
        emit recordChanged();
        break;
    case TTableNotice::FieldChanged:
        emit fieldChanged(field);
        break;
    case TTableNotice::StateChanged:
        emit stateChanged();
        break;
    }
}
