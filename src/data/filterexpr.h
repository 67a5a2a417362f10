#pragma once

#include "wire/fielddef.h"
#include "wire/recordstore.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

// A filter expression parsed once and bound to field positions: comparisons (=, <>, <, >,
// <=, >=) of fields, numbers, quoted texts and dates, and sums of fields, IN lists,
// IS [NOT] NULL, joined with AND, OR, NOT and parentheses. Names and keywords ignore case.
// Texts are equal when they are the same text; they are ordered by the collation of the
// user's language, as the table's orderings are.
// A quoted value compared with a date field is a date in the short form ("1.3.2009"),
// standing for midnight at the start of that day.
class TFilterExpr {
public:
    // Raises AppError naming the fault when the expression is malformed.
    TFilterExpr(const QString &expression, const QList<TFieldDef> &fields);
    ~TFilterExpr();

    bool Matches(const TRecordStore &store, quint32 record) const;

    struct Node;

private:
    std::unique_ptr<Node> m_root;
};
