#pragma once

#include "grid/services.h"

#include "screens/entrancetest/testitems.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QPushButton;
class QStackedWidget;
class QTextEdit;

// The entrance test for a new student: a welcome page with the school's introduction, four
// pages of ten grammar items, the score sent to the server with "posttestresult", and the
// offer at the next sign-in switched off by the check box on the welcome page.
class Tfentrancetest : public QDialog {
    Q_OBJECT
    // First, so that the members after it can be built with it.
    TServices m_services;

public:
    static constexpr int PageCount = 5;
    static constexpr int ItemsPerPage = 10;

    explicit Tfentrancetest(const TServices &services, QWidget *parent = nullptr);

    // Opens the dialog modally and frees it when it closes; raises AppError when the
    // welcome text or the items cannot be read (the dialog then does not open).
    static void Run(const TServices &services, QWidget *parent);

    // Loads "welcome" + language index + ".rtf" and the items from the program folder;
    // raises AppError when either cannot be read.
    void LoadContent();
    // The number of items whose chosen answer is the marked one.
    int Score() const;
    // What the student is told once his answers were sent: the thanks and his score.
    static QString SentText(int score, int items);
    int currentPage() const;

    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    QWidget *buildWelcomePage();
    QWidget *buildTestPage(int page);
    void fillItems();
    void showPage(int page);
    void nextClicked();
    void finish();

    QList<TestItem> m_items;
    QStackedWidget *m_pages = nullptr;
    QTextEdit *re_welcome = nullptr;
    QCheckBox *chbdontshow = nullptr;
    QList<QComboBox *> m_answers; // one per item, in item order
    QPushButton *btn_back = nullptr;
    QPushButton *btn_next = nullptr;
    QPushButton *btn_cancel = nullptr;
};
