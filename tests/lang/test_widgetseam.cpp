#include "seam/messagebox.h"
#include "lang/texts.h"
#include "seam/widgetseam.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses the button with this caption in the next message box that opens.
void pressWhenShown(const QString &caption, QString *seenTitle, QStringList *seenButtons) {
    QTimer::singleShot(0, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *seenTitle = box->windowTitle();
        for (QAbstractButton *b : box->buttons()) {
            seenButtons->append(b->text());
            if (b->text() == caption)
                b->click();
        }
    });
}

TEST(WidgetSeam, RealBoxShowsCaptionsAndReturnsPressedCode) {
    WidgetSeam seam;
    Seam *previous = InstallSeam(&seam);
    SetLanguageIndex(LangSlovak);
    QString title;
    QStringList buttons;
    pressWhenShown(QStringLiteral("Nie"), &title, &buttons);
    EXPECT_EQ(AppMessageBox(QStringLiteral("Pokračovať?"), mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(title, QStringLiteral("Potvrdenie"));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Áno")));
    SetLanguageIndex(LangCzech);
    InstallSeam(previous);
}

TEST(WidgetSeam, BusyCursorIsTheApplicationOverrideCursor) {
    WidgetSeam seam;
    Seam *previous = InstallSeam(&seam);
    BeginBusyCursor(Qt::BusyCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    EndBusyCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    InstallSeam(previous);
}

} // namespace
