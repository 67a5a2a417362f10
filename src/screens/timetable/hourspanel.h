#pragma once

#include <QGroupBox>
#include <array>

class QLabel;
struct THoursBalance;

// The client's panel "Stav objednaných hodin": paid, spent, expired, debit, free, booked and
// bookable hours and the expiry date; the bookable hours in blue, the expiry date in red.
class THoursPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit THoursPanel(QWidget *parent = nullptr);

    // Value labels in the order of the rows: paid, spent, expired, debit, free, unconfirmed,
    // confirmed, bookable, expiry date.
    enum Row { Payed, Spent, Expired, Debit, Free, Unconfirmed, Confirmed, Bookable, Expiry };
    static constexpr int kRows = 9;
    std::array<QLabel *, kRows> values{};

    void Fill(const THoursBalance &balance);
    QString ValueText(Row row) const;
};
