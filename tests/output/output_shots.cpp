// A developer program: signs in to the reference server with its demo school and saves
// pictures of the output definition dialog over the orders list ("TELLAVO_SHOTS=FOLDER
// output_shots"), for the documentation. Run it under a real display or xvfb-run.
#include "app/tfmain.h"
#include "grid/gridframe.h"
#include "output/radiogroup.h"
#include "output/tfdboutput.h"
#include "screenfixture.h"
#include "screens/tfrorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString folder() {
    return qEnvironmentVariable("TELLAVO_SHOTS", QStringLiteral("."));
}

class Shots : public ScreenFixture {};

TEST_F(Shots, OutputDialog) {
    signIn(QStringLiteral("manazer"));
    clickMain("im_order");
    auto &screen = *static_cast<Tfrorder *>(app->mainWindow()->screen(Tfmain::Orders));
    WhenModal([](QWidget *window) {
        auto *dialog = qobject_cast<Tfdboutput *>(window);
        if (dialog) {
            dialog->rgtype->SetItemIndex(0);
            dialog->chlb->setCurrentRow(3); // the amount, summed
            dialog->chbsum->setChecked(true);
            QApplication::processEvents();
            dialog->grab().save(folder() + QStringLiteral("/output-dialog.png"));
        }
        static_cast<QDialog *>(window)->reject();
    });
    screen.frg_order->spboutput->click();
}

} // namespace
