#pragma once

#include <QString>
#include <QStringList>

class TCfgHandler;

// The output templates of one list, kept in the configuration store under the list's
// storage key, section "dbo": one "name=value" line per template, sorted by name without
// regard to case. Names are compared without regard to case and without "&".
class TOutputTemplateList {
public:
    TOutputTemplateList(TCfgHandler &store, QString storageKey);

    // Reads the stored list (empty when there is none). Templates stored in the earlier form
    // (the format by its position) are rewritten in the current form, in the store as well.
    void Read();
    // Writes the list, or deletes the stored item when the list is empty. Failures of the
    // store are ignored.
    void Write();

    const QStringList &Lines() const { return m_lines; }
    void SetLines(const QStringList &lines) { m_lines = lines; }
    // The template names in list order.
    QStringList Names() const;
    // The position of the template of that name, or -1.
    qsizetype IndexOf(const QString &name) const;
    bool Contains(const QString &name) const { return IndexOf(name) >= 0; }
    // The value of the template of that name (empty when missing).
    QString Value(const QString &name) const;
    // Sets a template's value, replacing a template of that name, and sorts the list.
    void Set(const QString &name, const QString &value);
    // Removes the template; false when there was none.
    bool Remove(const QString &name);

    // A name as menus and comparisons use it: without "&".
    static QString CleanName(const QString &name);
    // Splits a template line at its first "=" (a line without one is all name).
    static void SplitLine(const QString &line, QString &name, QString &value);

private:
    TCfgHandler &m_store;
    QString m_key;
    QStringList m_lines;
};
