// The output definition in the running program: the orders list's output button opens the
// dialog, which exports the list.
#include "app/tfmain.h"
#include "data/dm.h"
#include "grid/gridframe.h"
#include "seam/messagebox.h"
#include "output/radiogroup.h"
#include "output/tfdboutput.h"
#include "outputfixture.h"
#include "screenfixture.h"
#include "screens/orders/tfrorder.h"

#include <QPushButton>
#include <QToolButton>

namespace {

class OutputInProgram : public ScreenFixture {};

TEST_F(OutputInProgram, OrdersListIsExportedThroughTheOutputButton) {
    signIn(QStringLiteral("manazer"));
    clickMain("im_order");
    auto &screen = *static_cast<Tfrorder *>(app->mainWindow()->screen(u"orders"));
    const QString file = dir.filePath(QStringLiteral("orders.csv"));
    bool shown = false;
    WhenModal([&](QWidget *window) {
        auto *dialog = qobject_cast<Tfdboutput *>(window);
        shown = dialog != nullptr;
        if (dialog) {
            dialog->SetFormatId(QStringLiteral("csv"));
            seam.fileAnswers.enqueue(file);
            seam.boxAnswers.enqueue(mrNo);
            dialog->btngenerate->click();
        }
        static_cast<QDialog *>(window)->reject();
    });
    screen.frg_order->spboutput->click();
    ASSERT_TRUE(shown);
    const QList<QByteArray> lines = ReadFileBytes(file).split('\n');
    // The header, one line per order, and the empty rest after the last line end.
    EXPECT_EQ(lines.size(), dm().cd_order.RecordCount() + 2);
    EXPECT_GT(dm().cd_order.RecordCount(), 0);
}

} // namespace
