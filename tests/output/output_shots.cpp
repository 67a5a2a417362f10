// A developer program: signs in to the reference server with its demo school and saves
// pictures of the output definition dialog over the orders list and of its print preview,
// and the same list as report.pdf ("TELLAVO_SHOTS=FOLDER output_shots"), for the
// documentation. Run it under a real display or xvfb-run.
#include "app/tfmain.h"
#include "grid/gridframe.h"
#include "seam/messagebox.h"
#include "output/radiogroup.h"
#include "output/tfdboutput.h"
#include "output/report/tfrextprev.h"
#include "screenfixture.h"
#include "screens/orders/tfrorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString folder() {
    return qEnvironmentVariable("TELLAVO_SHOTS", QStringLiteral("."));
}

// Runs the action on the preview as soon as it is the modal window.
void whenPreview(std::function<void(QWidget *)> action) {
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto *preview = qobject_cast<Tfrextprev *>(QApplication::activeModalWidget());
        if (!preview || !preview->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(preview);
    });
    timer->start();
}

class Shots : public ScreenFixture {};

TEST_F(Shots, OutputDialog) {
    signIn(QStringLiteral("manazer"));
    clickMain("im_order");
    auto &screen = *static_cast<Tfrorder *>(app->mainWindow()->screen(u"orders"));
    WhenModal([this](QWidget *window) {
        auto *dialog = qobject_cast<Tfdboutput *>(window);
        if (dialog) {
            dialog->SetFormatId(QStringLiteral("preview"));
            dialog->chlb->setCurrentRow(3); // the amount, summed
            dialog->chbsum->setChecked(true);
            QApplication::processEvents();
            dialog->grab().save(folder() + QStringLiteral("/output-dialog.png"));
            dialog->edtitle->setText(QStringLiteral("Objednávky školy"));
            whenPreview([](QWidget *preview) {
                preview->resize(1000, 760);
                QApplication::processEvents();
                preview->grab().save(folder() + QStringLiteral("/preview.png"));
                static_cast<QDialog *>(preview)->reject();
            });
            dialog->btngenerate->click();
            dialog->SetFormatId(QStringLiteral("pdf"));
            seam.fileAnswers.enqueue(folder() + QStringLiteral("/report.pdf"));
            seam.boxAnswers.enqueue(mrNo);
            dialog->btngenerate->click();
        }
        static_cast<QDialog *>(window)->reject();
    });
    screen.frg_order->spboutput->click();
}

} // namespace
