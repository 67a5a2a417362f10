#include "screens/profile/tfrprofil.h"

#include "grid/controls/dbedit.h"
#include "grid/controls/fielddatalink.h"
#include "errors/apperror.h"
#include "lang/texts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace {

// The required fields in the order they are checked, with their messages.
struct RequiredField {
    const char *field;
    int message;
};
constexpr RequiredField kRequired[] = {
    {"FIRSTNAME", 306}, {"SURNAME", 307}, {"EMAIL", 308}, {"SKYPENICK", 309}};

} // namespace

Tfrprofil::Tfrprofil(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frprofil"));
    gb_basic = group(310, 3,
                     {{311, "TITLE"},
                      {312, "FIRSTNAME"},
                      {313, "SURNAME"},
                      {314, "EMAIL"},
                      {315, "SKYPENICK"},
                      {332, "WHENBORN"}});
    gb_firm = group(316, 3, {{317, "FIRMNAME"}, {318, "ICO"}, {319, "DIC"}});
    gb_invoice = group(320, 1,
                       {{321, "ADDRESSNAME_F"},
                        {322, "STREET_F"},
                        {323, "ZIP_F"},
                        {324, "CITY_F"},
                        {325, "COUNTRY_F"}});
    gb_post = group(326, 1,
                    {{321, "ADDRESSNAME_C"},
                     {322, "STREET_C"},
                     {323, "ZIP_C"},
                     {324, "CITY_C"},
                     {325, "COUNTRY_C"}});
    gb_other = group(
        327, 4,
        {{328, "PHONENUMBER"}, {329, "PHONENUMBER2"}, {330, "BANKACCOUNT"}, {331, "BANKCODE"}});
    // One row below the addresses: the telephone numbers and the account take the room, the
    // four-digit bank code needs little.
    auto *other = static_cast<QGridLayout *>(gb_other->layout());
    for (int column : {1, 3, 5})
        other->setColumnStretch(column, 3);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(gb_basic, 0, 0, 1, 2);
    layout->addWidget(gb_firm, 1, 0, 1, 2);
    layout->addWidget(gb_invoice, 2, 0);
    layout->addWidget(gb_post, 2, 1);
    // The additional data at the bottom, below the two addresses.
    layout->addWidget(gb_other, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);
    // The tab order follows the groups and their fields.
    for (int i = 1; i < m_editors.size(); ++i)
        setTabOrder(m_editors[i - 1], m_editors[i]);
}

QGroupBox *Tfrprofil::group(int caption, int columns,
                            const QList<QPair<int, const char *>> &fields) {
    auto *box = new QGroupBox(AppText(caption), this);
    if (columns == 1)
        return singleColumnGroup(box, fields);
    auto *form = new QGridLayout(box);
    form->setContentsMargins(6, 2, 6, 4);
    form->setVerticalSpacing(2);
    form->setHorizontalSpacing(4);
    int index = 0;
    for (const auto &[label, field] : fields) {
        auto *edit = new TDBEdit(box);
        edit->setObjectName(QStringLiteral("ed_") + QString::fromLatin1(field).toLower());
        edit->SetDataField(QString::fromLatin1(field));
        auto *text = new QLabel(AppText(label), box);
        text->setBuddy(edit);
        const int row = index / columns;
        const int column = (index % columns) * 2;
        form->addWidget(text, row, column);
        form->addWidget(edit, row, column + 1);
        m_editors << edit;
        ++index;
    }
    for (int c = 0; c < columns; ++c)
        form->setColumnStretch(c * 2 + 1, 1);
    return box;
}

// A group of one column, each label beside its field; the two address groups share the
// frame's width side by side, the additional data lying below them.
QGroupBox *Tfrprofil::singleColumnGroup(QGroupBox *box,
                                        const QList<QPair<int, const char *>> &fields) {
    auto *form = new QFormLayout(box);
    form->setContentsMargins(6, 1, 6, 2);
    form->setVerticalSpacing(1);
    form->setHorizontalSpacing(4);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const auto &[label, field] : fields) {
        auto *edit = new TDBEdit(box);
        edit->setObjectName(QStringLiteral("ed_") + QString::fromLatin1(field).toLower());
        edit->SetDataField(QString::fromLatin1(field));
        auto *text = new QLabel(AppText(label), box);
        text->setBuddy(edit);
        form->addRow(text, edit);
        m_editors << edit;
    }
    return box;
}

void Tfrprofil::SetDataSource(TDataSource *source) {
    for (TDBEdit *edit : m_editors)
        edit->SetDataSource(source);
}

TDBEdit *Tfrprofil::Editor(const QString &fieldName) const {
    return findChild<TDBEdit *>(QStringLiteral("ed_") + fieldName.toLower());
}

void Tfrprofil::CheckProfileFields() {
    for (const RequiredField &required : kRequired) {
        TDBEdit *edit = Editor(QString::fromLatin1(required.field));
        edit->UpdateRecord();
        const auto field = edit->DataLink()->Field();
        if (field && !field->AsString().isEmpty())
            continue;
        edit->setFocus();
        throw AppError(AppText(required.message));
    }
}

void Tfrprofil::ShowBasicOnly(bool basicOnly) {
    for (QGroupBox *box : {gb_firm, gb_invoice, gb_post, gb_other})
        box->setVisible(!basicOnly);
}
