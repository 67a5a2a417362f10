#pragma once

#include "output/outputitems.h"
#include "output/outputprogress.h"

#include <QString>

class TClientTable;

// The common base of the writers: prepares the item list for a table and holds the frame of
// steps every writer shares (save dialog, progress, the question at the end).
class Tdboutputs {
public:
    // progress: where the writer reports while it works (nullptr: nowhere).
    explicit Tdboutputs(TOutputProgress *progress = nullptr);
    virtual ~Tdboutputs() = default;

    // Completes every item from the table's fields (index, name, label, width); an empty list
    // becomes one item per field. An item naming an unknown field raises the data layer's
    // error.
    static void PrepareItems(TClientTable &table, Tdboutputsfields &items);

    // A filter of description "|" patterns pairs (patterns separated by ";") in the form of
    // the file dialogs.
    static QString QtFileFilter(const QString &filter);

protected:
    TOutputProgress &Progress() const { return *m_progress; }
    // The save dialog; empty when cancelled. filter: description "|" patterns pairs. A name
    // without extension gets the default one.
    static QString AskSaveName(const QString &caption, const QString &filter,
                               const QString &extension);
    // Asks the question (OK/Cancel) and opens the file with its default program on OK.
    static void OfferToOpen(const QString &question, const QString &fileName);

private:
    TNoOutputProgress m_silent;
    TOutputProgress *m_progress;
};
