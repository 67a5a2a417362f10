#include "output/outputdefinition.h"

#include "grid/dbgridex.h"
#include "output/tfdboutput.h"

TOutputDefinition::TOutputDefinition(TDBGridEx &grid, TCfgHandler &store, QMenu &outputMenu,
                                     const QString &storageKey)
    : m_dialog(new Tfdboutput(grid.window())) {
    m_dialog->Initialize(&grid, &store, QString(), &outputMenu, storageKey);
}

TOutputDefinition::~TOutputDefinition() {
    delete m_dialog.data();
}

Tfdboutput *TOutputDefinition::Dialog() const {
    return m_dialog;
}

void TOutputDefinition::SetFilterText(const QString &text) {
    if (m_dialog)
        m_dialog->SetFilterText(text);
}

void TOutputDefinition::ShowDialog() {
    if (m_dialog)
        m_dialog->exec();
}

void InstallGridOutput() {
    GridOutputFactory() = [](TDBGridEx &grid, TCfgHandler &store, QMenu &outputMenu,
                             const QString &storageKey) -> std::unique_ptr<TGridOutput> {
        return std::make_unique<TOutputDefinition>(grid, store, outputMenu, storageKey);
    };
}
