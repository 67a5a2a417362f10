#pragma once

#include <QList>
#include <QWidget>

class QGroupBox;
class TDBEdit;
class TDataSource;

// The personal data of one user record in five groups (basic data, company, invoice address,
// postal address, additional data), shared by the profile dialog and the user dialog.
class Tfrprofil : public QWidget {
    Q_OBJECT
public:
    explicit Tfrprofil(QWidget *parent = nullptr);

    // Binds every field to the source (none unbinds).
    void SetDataSource(TDataSource *source);
    // The required fields in their order: the first empty one gets the focus and its message
    // is raised as AppError.
    void CheckProfileFields();
    // Shows only the basic data (a teacher's view of a user) or every group.
    void ShowBasicOnly(bool basicOnly);
    // The editor of a field (nullptr when the frame has none).
    TDBEdit *Editor(const QString &fieldName) const;

    QGroupBox *gb_basic;
    QGroupBox *gb_firm;
    QGroupBox *gb_invoice;
    QGroupBox *gb_post;
    QGroupBox *gb_other;

private:
    // A group of label and editor pairs laid out in the given number of columns.
    QGroupBox *group(int caption, int columns, const QList<QPair<int, const char *>> &fields);
    QGroupBox *singleColumnGroup(QGroupBox *box, const QList<QPair<int, const char *>> &fields);

    QList<TDBEdit *> m_editors;
};
