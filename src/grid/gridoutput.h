#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMenu;
class TCfgHandler;
class TDBGridEx;

// What a grid frame needs from the output definition of its list (print and export): it is
// created on the first output, told the current filter description, and shows its dialog.
class TGridOutput {
public:
    virtual ~TGridOutput() = default;
    // The description of the list's current filter, printed with the output.
    virtual void SetFilterText(const QString &text) = 0;
    // Opens the output definition dialog.
    virtual void ShowDialog() = 0;
};

// Makes the output definition of a frame's grid; it works with the shared configuration
// store, fills the output menu (ahead of its two fixed items) and stores its templates under
// the storage key. Installed once by the output piece; without it the output button does
// nothing.
using TGridOutputFactory = std::function<std::unique_ptr<TGridOutput>(
    TDBGridEx &grid, TCfgHandler &store, QMenu &outputMenu, const QString &storageKey)>;
TGridOutputFactory &GridOutputFactory();
