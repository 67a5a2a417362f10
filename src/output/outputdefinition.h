#pragma once

#include "grid/gridoutput.h"

#include <QPointer>

class Tfdboutput;

// The output definition of one grid frame: the definition dialog, made once and kept until
// the frame lets it go.
class TOutputDefinition : public TGridOutput {
public:
    TOutputDefinition(TDBGridEx &grid, TCfgHandler &store, QMenu &outputMenu,
                      const QString &storageKey);
    ~TOutputDefinition() override;

    void SetFilterText(const QString &text) override;
    void ShowDialog() override;
    Tfdboutput *Dialog() const;

private:
    QPointer<Tfdboutput> m_dialog;
};

// Installs the output definition as the grid frames' output (once, at program start).
void InstallGridOutput();
