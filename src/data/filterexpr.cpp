#include "data/filterexpr.h"

#include "wire/collation.h"
#include "data/usertext.h"
#include "errors/apperror.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

enum class Op { Eq, Ne, Lt, Le, Gt, Ge };

// Whole numbers of every integer field type, ui8 included, and their sums without overflow.
using Wide = __int128;

// The kind that a comparison works in: whole numbers (integers, booleans, date-times as
// milliseconds), floats, or text.
enum class CmpKind { Int, Float, Text };

// How a field's cell holds a number: a whole number, a ui8's 64 bits, or a float.
enum class Cell : quint8 { Int, Unsigned, Float };

Cell cellOf(const TFieldDef &field) {
    switch (field.valueKind()) {
    case TValue::Unsigned:
        return Cell::Unsigned;
    case TValue::Float:
        return Cell::Float;
    default:
        return Cell::Int;
    }
}

// One term of an operand: a field, or a constant already converted to the comparison kind.
struct Term {
    int field = -1;
    Cell cell = Cell::Int; // a field's cell
    QString raw;           // constant as written
    bool quoted = false;   // the constant was a quoted text
    Wide i = 0;
    double f = 0;
    QString text;
};

using Operand = std::vector<Term>; // a sum of terms

struct Scalar {
    bool null = false;
    Wide i = 0;
    double f = 0;
    QStringView text;
};

bool test(Op op, int c) {
    switch (op) {
    case Op::Eq:
        return c == 0;
    case Op::Ne:
        return c != 0;
    case Op::Lt:
        return c < 0;
    case Op::Le:
        return c <= 0;
    case Op::Gt:
        return c > 0;
    case Op::Ge:
        return c >= 0;
    }
    return false;
}

// A name or value as an error message shows it: long ones are cut.
QString shortened(const QString &text) {
    constexpr qsizetype kShown = 80;
    return text.size() <= kShown ? text : text.left(kShown) + u"…"_qs;
}

template <typename T> int threeWay(const T &a, const T &b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A whole-number cell as a number: a ui8 field keeps its 64 bits in the cell.
Wide wideValue(Cell kind, const TCell &cell) {
    return kind == Cell::Unsigned ? Wide(quint64(cell.i)) : Wide(cell.i);
}

double floatValue(Cell kind, const TCell &cell) {
    return kind == Cell::Float ? cell.f : double(wideValue(kind, cell));
}

} // namespace

struct TFilterExpr::Node {
    // FieldConst compares one field with a constant (the common case, evaluated directly).
    enum Type { And, Or, Not, Compare, In, IsNull, FieldConst } type = Compare;
    // And, Or: two or more operands evaluated in turn; Not: one.
    std::vector<std::unique_ptr<Node>> children;
    Operand a, b;
    std::vector<Operand> list;
    Op op = Op::Eq;
    CmpKind kind = CmpKind::Int;
    // FieldConst and In with a field: the field, whether it holds floats, and the constants
    int field = -1;
    Cell fieldCell = Cell::Int;
    Term constant;
    std::vector<Term> items; // In with a field and constants: the constants
    // FieldConst ordering a text: the constant's sort key, made on first use
    mutable QByteArray constantKey;
    mutable const TCollation *keyCollation = nullptr;
    bool sortedItems = false; // integer items sorted by value, searched by halving

    bool compareField(const TRecordStore &store, quint32 record, const Term &value, Op how) const;
    bool inItems(const TRecordStore &store, quint32 record) const;

    bool eval(const TRecordStore &store, quint32 record) const;
    Scalar value(const Operand &operand, const TRecordStore &store, quint32 record) const;
    // Negative, 0 or positive; texts are only told equal or not unless ordered.
    int compare(const Scalar &x, const Scalar &y, bool ordered) const;
};

Scalar TFilterExpr::Node::value(const Operand &operand, const TRecordStore &store,
                                quint32 record) const {
    Scalar s;
    for (const Term &t : operand) {
        if (t.field < 0) {
            s.i += t.i;
            s.f += t.f;
            s.text = t.text;
            continue;
        }
        if (store.isNull(record, t.field)) {
            s.null = true;
            return s;
        }
        const TCell &cell = store.cell(record, t.field);
        switch (kind) {
        case CmpKind::Text:
            s.text = store.text(record, t.field);
            break;
        case CmpKind::Float:
            s.f += floatValue(t.cell, cell);
            break;
        case CmpKind::Int:
            s.i += wideValue(t.cell, cell);
            break;
        }
    }
    return s;
}

int TFilterExpr::Node::compare(const Scalar &x, const Scalar &y, bool ordered) const {
    switch (kind) {
    case CmpKind::Text: // equality is the same text; order is the language's
        if (!ordered)
            return x.text == y.text ? 0 : 1;
        return TCollation::Current().Compare(x.text, y.text);
    case CmpKind::Float:
        return threeWay(x.f, y.f);
    case CmpKind::Int:
        break;
    }
    return threeWay(x.i, y.i);
}

bool TFilterExpr::Node::compareField(const TRecordStore &store, quint32 record, const Term &value,
                                     Op how) const {
    if (store.isNull(record, field))
        return false;
    const TCell &cell = store.cell(record, field);
    switch (kind) {
    case CmpKind::Int:
        return test(how, threeWay(wideValue(fieldCell, cell), value.i));
    case CmpKind::Float:
        return test(how, threeWay(floatValue(fieldCell, cell), value.f));
    case CmpKind::Text:
        break;
    }
    if (how == Op::Eq || how == Op::Ne) // the same text; equality needs no ordering
        return (store.text(record, field) == value.text) == (how == Op::Eq);
    // An order in the user's language: the cell's cached sort key against the constant's.
    const TCollation &collation = TCollation::Current();
    if (keyCollation != &collation) {
        constantKey = collation.Key(value.text);
        keyCollation = &collation;
    }
    const QByteArrayView key = store.sortKey(record, field);
    int c = std::memcmp(key.data(), constantKey.constData(),
                        size_t(qMin(key.size(), constantKey.size())));
    if (c == 0)
        c = threeWay(key.size(), constantKey.size());
    return test(how, c);
}

bool TFilterExpr::Node::inItems(const TRecordStore &store, quint32 record) const {
    if (!sortedItems) {
        for (const Term &item : items)
            if (compareField(store, record, item, Op::Eq))
                return true;
        return false;
    }
    if (store.isNull(record, field))
        return false;
    const Wide wanted = wideValue(fieldCell, store.cell(record, field));
    const auto it = std::lower_bound(items.begin(), items.end(), wanted,
                                     [](const Term &t, Wide v) { return t.i < v; });
    return it != items.end() && it->i == wanted;
}

bool TFilterExpr::Node::eval(const TRecordStore &store, quint32 record) const {
    switch (type) {
    case FieldConst:
        return compareField(store, record, constant, op);
    case And:
        for (const auto &child : children)
            if (!child->eval(store, record))
                return false;
        return true;
    case Or:
        for (const auto &child : children)
            if (child->eval(store, record))
                return true;
        return false;
    case Not:
        return !children.front()->eval(store, record);
    case IsNull:
        return store.isNull(record, a.front().field) != (op == Op::Ne);
    case Compare: {
        const Scalar x = value(a, store, record);
        if (x.null)
            return false;
        const Scalar y = value(b, store, record);
        return !y.null && test(op, compare(x, y, op != Op::Eq && op != Op::Ne));
    }
    case In: {
        if (field >= 0) // a field and constants
            return inItems(store, record);
        const Scalar x = value(a, store, record);
        if (x.null)
            return false;
        for (const Operand &item : list)
            if (compare(x, value(item, store, record), false) == 0)
                return true;
        return false;
    }
    }
    return false;
}

namespace {

struct Token {
    enum Type { End, Name, Number, Quoted, Symbol } type = End;
    QString text;
    qsizetype pos = 0;
};

// Splits the expression into names, numbers, quoted texts and symbols.
class Lexer {
public:
    explicit Lexer(const QString &text) : m_text(text) { advance(); }
    const Token &peek() const { return m_token; }
    Token take() {
        Token t = m_token;
        advance();
        return t;
    }
    bool isWord(const char *word) const {
        return m_token.type == Token::Name &&
               m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char *symbol) const {
        return m_token.type == Token::Symbol && m_token.text == QLatin1String(symbol);
    }
    [[noreturn]] void error(const QString &what) const {
        throw AppError(QStringLiteral("Invalid filter expression \"%1\": %2 at position %3")
                           .arg(shown(), what)
                           .arg(m_token.pos + 1));
    }

private:
    // The expression as a message shows it: a long one is cut around the failing position.
    QString shown() const {
        constexpr qsizetype kShown = 80;
        if (m_text.size() <= 2 * kShown)
            return m_text;
        const qsizetype from =
            qBound(qsizetype(0), m_token.pos - kShown, m_text.size() - 2 * kShown);
        return (from > 0 ? u"…"_qs : QString()) + m_text.mid(from, 2 * kShown) +
               (from + 2 * kShown < m_text.size() ? u"…"_qs : QString());
    }
    void advance();
    const QString &m_text;
    qsizetype m_pos = 0;
    Token m_token;
};

void Lexer::advance() {
    while (m_pos < m_text.size() && m_text[m_pos].isSpace())
        ++m_pos;
    m_token = Token();
    m_token.pos = m_pos;
    if (m_pos >= m_text.size())
        return;
    const QChar c = m_text[m_pos];
    if (c == u'\'' || c == u'"') {
        QString value;
        ++m_pos;
        for (;;) {
            if (m_pos >= m_text.size())
                error(QStringLiteral("unterminated quoted text"));
            if (m_text[m_pos] == c) {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == c) {
                    value += c;
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            value += m_text[m_pos++];
        }
        m_token.type = Token::Quoted;
        m_token.text = value;
    } else if (c == u'[') {
        const qsizetype end = m_text.indexOf(u']', m_pos);
        if (end < 0)
            error(QStringLiteral("unterminated field name"));
        m_token.type = Token::Name;
        m_token.text = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
    } else if (c.isDigit() ||
               (c == u'.' && m_pos + 1 < m_text.size() && m_text[m_pos + 1].isDigit())) {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.'))
            ++m_pos;
        m_token.type = Token::Number;
        m_token.text = m_text.mid(start, m_pos - start);
    } else if (c.isLetter() || c == u'_') {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
            ++m_pos;
        m_token.type = Token::Name;
        m_token.text = m_text.mid(start, m_pos - start);
    } else {
        static const char *const kSymbols[] = {"<>", "<=", ">=", "=", "<", ">",
                                               "(",  ")",  ",",  "+", "-"};
        for (const char *symbol : kSymbols) {
            if (QStringView(m_text).mid(m_pos).startsWith(QLatin1String(symbol))) {
                m_token.type = Token::Symbol;
                m_token.text = QLatin1String(symbol);
                m_pos += qsizetype(strlen(symbol));
                return;
            }
        }
        error(QStringLiteral("unexpected character \"%1\"").arg(c));
    }
}

// Recursive descent over the lexer, building nodes bound to the field positions.
class Parser {
public:
    Parser(const QString &text, const QList<TFieldDef> &fields) : m_lex(text), m_fields(fields) {}

    std::unique_ptr<TFilterExpr::Node> parse() {
        if (m_lex.peek().type == Token::End)
            m_lex.error(QStringLiteral("the expression is empty"));
        auto node = orExpr();
        if (m_lex.peek().type != Token::End)
            m_lex.error(QStringLiteral("unexpected \"%1\"").arg(m_lex.peek().text));
        return node;
    }

private:
    using NodePtr = std::unique_ptr<TFilterExpr::Node>;

    // A chain of operands joined by one word (AND, OR) becomes one node holding them all, so
    // that a long chain is neither deep to evaluate nor counted as nesting.
    template <typename Next>
    NodePtr chain(TFilterExpr::Node::Type type, const char *word, Next next) {
        NodePtr first = next();
        if (!m_lex.isWord(word))
            return first;
        auto node = std::make_unique<TFilterExpr::Node>();
        node->type = type;
        node->children.push_back(std::move(first));
        while (m_lex.isWord(word)) {
            m_lex.take();
            node->children.push_back(next());
        }
        if (type == TFilterExpr::Node::Or)
            gatherEqualities(*node);
        return node;
    }
    NodePtr orExpr() {
        return chain(TFilterExpr::Node::Or, "OR", [this] { return andExpr(); });
    }
    NodePtr andExpr() {
        return chain(TFilterExpr::Node::And, "AND", [this] { return unary(); });
    }
    // Only nesting (parentheses and NOT) makes the parser and the evaluation go deeper.
    void enter() {
        if (++m_nesting > kMaxNesting)
            m_lex.error(QStringLiteral("the expression is nested too deeply"));
        m_lex.take();
    }
    NodePtr unary() {
        if (m_lex.isWord("NOT")) {
            enter();
            auto node = std::make_unique<TFilterExpr::Node>();
            node->type = TFilterExpr::Node::Not;
            node->children.push_back(unary());
            --m_nesting;
            return node;
        }
        if (m_lex.isSymbol("(")) {
            enter();
            NodePtr node = orExpr();
            expectSymbol(")");
            --m_nesting;
            return node;
        }
        return condition();
    }
    void expectSymbol(const char *symbol) {
        if (!m_lex.isSymbol(symbol))
            m_lex.error(QStringLiteral("\"%1\" expected").arg(QLatin1String(symbol)));
        m_lex.take();
    }
    Term term();
    Operand operand();
    NodePtr condition();
    void bind(TFilterExpr::Node &node, std::vector<Operand *> operands);
    void simplify(TFilterExpr::Node &node);
    void typeConstant(Term &term, CmpKind kind, const TFieldDef *anchor);
    void gatherEqualities(TFilterExpr::Node &node);
    static void sortItems(TFilterExpr::Node &node);

    static constexpr int kMaxNesting = 1000;
    Lexer m_lex;
    const QList<TFieldDef> &m_fields;
    int m_nesting = 0;
};

Term Parser::term() {
    Term t;
    bool negative = false;
    if (m_lex.isSymbol("-")) {
        m_lex.take();
        negative = true;
        if (m_lex.peek().type != Token::Number)
            m_lex.error(QStringLiteral("a number expected"));
    }
    const Token token = m_lex.take();
    switch (token.type) {
    case Token::Name:
        for (int i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].name.compare(token.text, Qt::CaseInsensitive) == 0) {
                t.field = i;
                t.cell = cellOf(m_fields[i]);
                return t;
            }
        }
        if (token.text.compare(u"TRUE", Qt::CaseInsensitive) == 0 ||
            token.text.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
            t.raw = token.text.compare(u"TRUE", Qt::CaseInsensitive) == 0 ? u"1"_qs : u"0"_qs;
            return t;
        }
        throw AppError(QStringLiteral("Invalid filter expression: the field \"%1\" does not exist")
                           .arg(shortened(token.text)));
    case Token::Number:
        t.raw = negative ? QChar('-') + token.text : token.text;
        return t;
    case Token::Quoted:
        t.raw = token.text;
        t.quoted = true;
        return t;
    default:
        m_lex.error(QStringLiteral("a field name or value expected"));
    }
}

Operand Parser::operand() {
    Operand sum{term()};
    while (m_lex.isSymbol("+")) {
        m_lex.take();
        sum.push_back(term());
    }
    return sum;
}

std::unique_ptr<TFilterExpr::Node> Parser::condition() {
    auto node = std::make_unique<TFilterExpr::Node>();
    node->a = operand();
    if (m_lex.isWord("IS")) {
        m_lex.take();
        node->type = TFilterExpr::Node::IsNull;
        node->op = Op::Eq;
        if (m_lex.isWord("NOT")) {
            m_lex.take();
            node->op = Op::Ne;
        }
        if (!m_lex.isWord("NULL"))
            m_lex.error(QStringLiteral("NULL expected"));
        m_lex.take();
        if (node->a.size() != 1 || node->a.front().field < 0)
            m_lex.error(QStringLiteral("IS NULL needs a field"));
        return node;
    }
    if (m_lex.isWord("IN")) {
        m_lex.take();
        node->type = TFilterExpr::Node::In;
        expectSymbol("(");
        node->list.push_back(operand());
        while (m_lex.isSymbol(",")) {
            m_lex.take();
            node->list.push_back(operand());
        }
        expectSymbol(")");
        std::vector<Operand *> all{&node->a};
        for (Operand &item : node->list)
            all.push_back(&item);
        bind(*node, all);
        const bool constants =
            std::all_of(node->list.begin(), node->list.end(), [](const Operand &o) {
                return std::all_of(o.begin(), o.end(), [](const Term &t) { return t.field < 0; });
            });
        if (node->a.size() == 1 && node->a[0].field >= 0 && constants) {
            node->field = node->a[0].field;
            node->fieldCell = cellOf(m_fields[node->field]);
            for (const Operand &item : node->list) {
                Term sum;
                for (const Term &t : item) {
                    sum.i += t.i;
                    sum.f += t.f;
                    sum.text = t.text;
                }
                node->items.push_back(sum);
            }
            sortItems(*node);
        }
        return node;
    }
    static const std::pair<const char *, Op> kOps[] = {{"=", Op::Eq}, {"<>", Op::Ne},
                                                       {"<", Op::Lt}, {"<=", Op::Le},
                                                       {">", Op::Gt}, {">=", Op::Ge}};
    for (const auto &[symbol, op] : kOps) {
        if (m_lex.isSymbol(symbol)) {
            m_lex.take();
            node->op = op;
            node->b = operand();
            bind(*node, {&node->a, &node->b});
            simplify(*node);
            return node;
        }
    }
    m_lex.error(QStringLiteral("a comparison expected"));
}

// Chooses the comparison kind from the fields involved and converts the constants to it.
void Parser::bind(TFilterExpr::Node &node, std::vector<Operand *> operands) {
    const TFieldDef *anchor = nullptr;
    bool anyText = false, anyNumeric = false, anyFloat = false, sums = false;
    for (Operand *operand : operands) {
        sums = sums || operand->size() > 1;
        for (Term &t : *operand) {
            if (t.field < 0) {
                anyFloat = anyFloat || (!t.quoted && t.raw.contains(u'.'));
                continue;
            }
            const TFieldDef &def = m_fields[t.field];
            if (!anchor)
                anchor = &def;
            const TValue::Kind kind = def.valueKind();
            if (kind == TValue::Text)
                anyText = true;
            else if (kind == TValue::Bytes)
                throw AppError(
                    QStringLiteral("Invalid filter expression: the field \"%1\" cannot be compared")
                        .arg(shortened(def.name)));
            else
                anyNumeric = true;
            anyFloat = anyFloat || kind == TValue::Float;
        }
    }
    if (anyText && anyNumeric)
        throw AppError(
            QStringLiteral("Invalid filter expression: a text is compared with a number"));
    CmpKind kind = CmpKind::Int;
    if (anyText || (!anchor && std::any_of(operands.begin(), operands.end(), [](Operand *o) {
            return std::any_of(o->begin(), o->end(), [](const Term &t) { return t.quoted; });
        })))
        kind = CmpKind::Text;
    else if (anyFloat)
        kind = CmpKind::Float;
    if (kind == CmpKind::Text && sums)
        throw AppError(QStringLiteral("Invalid filter expression: texts cannot be added"));
    node.kind = kind;
    for (Operand *operand : operands)
        for (Term &t : *operand)
            if (t.field < 0)
                typeConstant(t, kind, anchor);
}

// A field compared with constants becomes a FieldConst node (the constants summed, the
// operator turned round when the field is on the right).
void Parser::simplify(TFilterExpr::Node &node) {
    auto constants = [](const Operand &operand) {
        return std::all_of(operand.begin(), operand.end(),
                           [](const Term &t) { return t.field < 0; });
    };
    auto single = [](const Operand &operand) {
        return operand.size() == 1 && operand[0].field >= 0;
    };
    Operand *field = nullptr, *value = nullptr;
    if (single(node.a) && constants(node.b)) {
        field = &node.a, value = &node.b;
    } else if (single(node.b) && constants(node.a)) {
        field = &node.b, value = &node.a;
        static const Op kTurned[] = {Op::Eq, Op::Ne, Op::Gt, Op::Ge, Op::Lt, Op::Le};
        node.op = kTurned[int(node.op)];
    } else {
        return;
    }
    node.type = TFilterExpr::Node::FieldConst;
    node.field = field->front().field;
    node.fieldCell = cellOf(m_fields[node.field]);
    for (const Term &t : *value) {
        node.constant.i += t.i;
        node.constant.f += t.f;
        node.constant.text = t.text;
    }
}

// Reads a whole number written with digits (and a leading minus) in the range of any integer
// field type, from the smallest i8 to the largest ui8; false when the text is no such number.
bool wholeNumber(const QString &raw, Wide &value) {
    const QStringView digits = raw.startsWith(u'-') ? QStringView(raw).mid(1) : QStringView(raw);
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    bool ok = false;
    if (const qint64 n = raw.toLongLong(&ok); ok) {
        value = n;
        return true;
    }
    if (const quint64 u = raw.toULongLong(&ok); ok && !raw.startsWith(u'-')) {
        value = u;
        return true;
    }
    throw AppError(
        QStringLiteral("Invalid filter expression: the number %1 is out of the range of integers")
            .arg(raw));
}

void Parser::typeConstant(Term &t, CmpKind kind, const TFieldDef *anchor) {
    if (kind == CmpKind::Text) {
        t.text = t.raw;
        return;
    }
    const bool dates = anchor && anchor->valueKind() == TValue::DateTime;
    if (kind == CmpKind::Int && !dates) {
        // A whole number is read as one, not through a double, so that every digit counts.
        Wide n = 0;
        if (wholeNumber(t.raw, n)) {
            t.i = n;
            t.f = double(n);
            return;
        }
    }
    TFieldDef def = anchor ? *anchor : MakeField(QString(), TFieldType::R8);
    if (!t.quoted && def.valueKind() == TValue::DateTime)
        throw AppError(QStringLiteral("Invalid filter expression: the date %1 must be quoted")
                           .arg(shortened(t.raw)));
    if (!t.quoted || def.valueKind() != TValue::DateTime)
        def.type = TFieldType::R8; // numbers, quoted or not
    // A quoted date stands for its midnight; a date with a time for that moment.
    const TValue value = ValueFromUserText(def, t.raw);
    if (value.isNull())
        throw AppError(QStringLiteral("Invalid filter expression: an empty value"));
    t.f = value.toFloat();
    if (value.kind() == TValue::DateTime) {
        t.i = value.toDateTime().ms;
    } else if (kind == CmpKind::Int) {
        // A number compared as a whole number must be one.
        if (!(std::fabs(t.f) < 9.2e18))
            throw AppError(
                QStringLiteral("Invalid filter expression: the number %1 is out of the range of "
                               "integers")
                    .arg(t.raw));
        t.i = value.toInteger();
    }
}

// In a chain of OR, the equalities of one integer field with a constant become one lookup in
// the sorted constants: a checked list of a thousand items costs one search per row, not a
// thousand comparisons.
void Parser::gatherEqualities(TFilterExpr::Node &node) {
    using Node = TFilterExpr::Node;
    auto mergeable = [](const Node &n) {
        return n.type == Node::FieldConst && n.op == Op::Eq && n.kind == CmpKind::Int;
    };
    std::vector<std::unique_ptr<Node>> kept;
    std::vector<Node *> lookups; // one In node per field, kept among the operands
    for (auto &child : node.children) {
        if (!mergeable(*child)) {
            kept.push_back(std::move(child));
            continue;
        }
        const auto lookup = std::find_if(lookups.begin(), lookups.end(),
                                         [&](const Node *n) { return n->field == child->field; });
        if (lookup != lookups.end()) {
            (*lookup)->items.push_back(child->constant);
            continue;
        }
        auto in = std::make_unique<Node>();
        in->type = Node::In;
        in->kind = CmpKind::Int;
        in->field = child->field;
        in->fieldCell = child->fieldCell;
        in->items.push_back(child->constant);
        lookups.push_back(in.get());
        kept.push_back(std::move(in));
    }
    for (Node *lookup : lookups)
        sortItems(*lookup);
    node.children = std::move(kept);
}

void Parser::sortItems(TFilterExpr::Node &node) {
    if (node.kind != CmpKind::Int)
        return;
    std::sort(node.items.begin(), node.items.end(),
              [](const Term &x, const Term &y) { return x.i < y.i; });
    node.sortedItems = true;
}

} // namespace

TFilterExpr::TFilterExpr(const QString &expression, const QList<TFieldDef> &fields)
    : m_root(Parser(expression, fields).parse()) {}

TFilterExpr::~TFilterExpr() = default;

bool TFilterExpr::Matches(const TRecordStore &store, quint32 record) const {
    return m_root->eval(store, record);
}
