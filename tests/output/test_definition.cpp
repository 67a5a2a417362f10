// The output definition dialog: the item list, the visibility rules, generating, and
// templates (save, load, delete, menus, export, import, reload).
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/settings/cfghandler.h"
#include "output/outputformats.h"
#include "output/radiogroup.h"
#include "output/tfdboutput.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const char *const kKey = "frg_sample";

class DefinitionTest : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        FillSample(table);
        source.SetDataSet(&table);
        grid.SetDataSource(&source);
        setColumns(6);
        menu.addSeparator()->setData(-1);
        menu.addAction(CommonText(7))->setData(-1);
        dialog.SetProgress(&progress);
        dialog.Initialize(&grid, &store, QString(), &menu, QString::fromLatin1(kKey));
    }
    // The first n fields of the sample as visible columns, with one hidden column between.
    void setColumns(int n) {
        TColumnList columns;
        const QStringList names = {"NAME", "NOTE", "ID", "PRICE", "ACTIVE", "BORN", "LEVEL"};
        for (int i = 0; i < n; ++i) {
            columns.append(MakeColumn(names[i], names[i].toLower(), 50 + i));
            if (i == 1)
                columns.append(MakeColumn("BIG", "hidden", 40, false));
        }
        grid.SetColumns(columns);
    }
    QStringList listTexts() const {
        QStringList texts;
        for (int i = 0; i < dialog.chlb->count(); ++i)
            texts.append((dialog.chlb->item(i)->checkState() == Qt::Checked ? "+" : "-") +
                         dialog.chlb->item(i)->text());
        return texts;
    }
    QStringList frameMenu() const {
        QStringList texts;
        for (QAction *action : menu.actions())
            texts.append(action->text());
        return texts;
    }
    QString templateFile() const { return dir.filePath(QString::fromLatin1(kKey) + ".dbo"); }
    QString storedText() const { return FromWin1250Text(ReadFileBytes(templateFile())); }
    static QString FromWin1250Text(const QByteArray &bytes);
    void saveAs(const QString &name) {
        seam.inputAnswers.enqueue(name);
        dialog.SaveTemplate(dialog.CurrentTemplate());
    }

    ScriptedSeam seam;
    QTemporaryDir dir;
    TFileCfgHandler store{dir.path()};
    TClientTable table;
    TDataSource source;
    TDBGridEx grid;
    QMenu menu;
    TRecordingProgress progress;
    Tfdboutput dialog;
};

QString DefinitionTest::FromWin1250Text(const QByteArray &bytes) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(bytes);
}

TEST_F(DefinitionTest, VisibleColumnsMakeTheListAndTheFirstFourAreChecked) {
    EXPECT_EQ(listTexts(), (QStringList{"+name", "+note", "+id", "+price", "-active", "-born"}));
    setColumns(3);
    Tfdboutput fresh;
    fresh.Initialize(&grid, &store, QString(), &menu, QString::fromLatin1(kKey));
    EXPECT_EQ(fresh.chlb->count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fresh.chlb->item(i)->checkState(), Qt::Checked);
    EXPECT_EQ(fresh.edtitle->text(), CommonText(57));
}

TEST_F(DefinitionTest, FilterCheckBoxFollowsTheFilterText) {
    EXPECT_FALSE(dialog.chbfilter->isEnabled());
    EXPECT_FALSE(dialog.chbfilter->isChecked());
    dialog.SetFilterText(QStringLiteral("Stav: zaplaceno"));
    EXPECT_TRUE(dialog.chbfilter->isEnabled());
    EXPECT_TRUE(dialog.chbfilter->isChecked());
    dialog.chbfilter->setChecked(false);
    dialog.SetFilterText(QStringLiteral("Stav: zaplaceno"));
    EXPECT_TRUE(dialog.chbfilter->isChecked());
}

TEST_F(DefinitionTest, OutputTypeShowsItsParameters) {
    dialog.show();
    struct Case {
        const char *format;
        bool params, orientation, header, encoding;
    };
    // The choices are the registry's, in its order, each with its parameters.
    const Case cases[] = {
        {"preview", true, true, false, false}, {"print", true, true, false, false},
        {"pdf", true, true, false, false},     {"html", true, false, false, false},
        {"xlsx", true, false, true, false},    {"xls", false, false, true, false},
        {"csv", false, false, true, true},
    };
    ASSERT_EQ(dialog.rgtype->Count(), int(std::size(cases)));
    for (int i = 0; i < dialog.rgtype->Count(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.format);
        dialog.rgtype->Button(i)->click();
        EXPECT_EQ(dialog.FormatId(), QString::fromLatin1(c.format));
        EXPECT_EQ(dialog.rgtype->Button(i)->text(), FindOutputFormat(c.format)->Caption());
        EXPECT_EQ(dialog.gbparams->isVisible(), c.params);
        EXPECT_EQ(dialog.rgori->isVisible(), c.orientation);
        EXPECT_EQ(dialog.chbexpheader->isVisible(), c.header);
        EXPECT_EQ(dialog.cbencoding->isVisible(), c.encoding);
    }
}

TEST_F(DefinitionTest, OnlyNumericItemsCanBeSummed) {
    dialog.chlb->setCurrentRow(0); // NAME
    EXPECT_FALSE(dialog.chbsum->isEnabled());
    dialog.chlb->setCurrentRow(2); // ID
    ASSERT_TRUE(dialog.chbsum->isEnabled());
    dialog.chbsum->setChecked(true);
    EXPECT_EQ(dialog.chlb->item(2)->text(), QStringLiteral("id (sčítat)"));
    dialog.chlb->setCurrentRow(1);
    EXPECT_FALSE(dialog.chbsum->isChecked());
    dialog.chlb->setCurrentRow(2);
    EXPECT_TRUE(dialog.chbsum->isChecked());
    dialog.chbsum->setChecked(false);
    EXPECT_EQ(dialog.chlb->item(2)->text(), QStringLiteral("id"));
}

TEST_F(DefinitionTest, ListButtonsCheckAndMove) {
    dialog.btncheckall->click();
    EXPECT_EQ(listTexts().filter(QStringLiteral("-")).size(), 0);
    dialog.btnuncheckall->click();
    EXPECT_EQ(listTexts().filter(QStringLiteral("+")).size(), 0);
    dialog.chlb->setCurrentRow(0);
    dialog.btnup->click(); // the first item stays
    dialog.btndown->click();
    EXPECT_EQ(listTexts().mid(0, 2), (QStringList{"-note", "-name"}));
    dialog.chlb->setCurrentRow(5);
    dialog.btndown->click(); // the last item stays
    EXPECT_EQ(listTexts().last(), QStringLiteral("-born"));
}

TEST_F(DefinitionTest, GeneratingWritesTheCheckedItemsOrEveryFieldWhenNoneIs) {
    dialog.SetFormatId(QStringLiteral("csv"));
    const QString file = dir.filePath(QStringLiteral("out.csv"));
    seam.fileAnswers.enqueue(file);
    seam.fileAnswers.enqueue(file);
    seam.boxAnswers.enqueue(mrNo);
    seam.boxAnswers.enqueue(mrNo);
    ASSERT_TRUE(dialog.Generate(true));
    EXPECT_TRUE(ReadFileBytes(file).startsWith("name;note;id;price\r\n"));
    dialog.btnuncheckall->click();
    ASSERT_TRUE(dialog.Generate(true));
    EXPECT_TRUE(ReadFileBytes(file).startsWith(
        "ID;NAME;NOTE;PRICE;AMOUNT;RATE;BIG;LEVEL;ACTIVE;BORN;WHENHOUR;STARTS\r\n"));
    EXPECT_EQ(progress.opened, 2);
    EXPECT_EQ(progress.closed, 2);
}

TEST_F(DefinitionTest, SavingUnderTheCurrentNameIsSilentUnderAnotherExistingNameAsks) {
    dialog.edtitle->setText(QStringLiteral("Přehled; a|b"));
    saveAs(QStringLiteral("Měsíc"));
    saveAs(QStringLiteral("Týden"));
    EXPECT_TRUE(seam.boxes.isEmpty());
    EXPECT_EQ(dialog.labtempl->text(), QStringLiteral("Týden"));
    saveAs(QStringLiteral("týden")); // the current one, in other letters: no question
    EXPECT_TRUE(seam.boxes.isEmpty());
    seam.boxAnswers.enqueue(mrNo);
    dialog.SetFormatId(QStringLiteral("html"));
    saveAs(QStringLiteral("MĚSÍC"));
    EXPECT_EQ(seam.boxTexts(),
              QStringList{QStringLiteral("Šablona s názvem \"MĚSÍC\" již existuje. Přejete si ji "
                                         "přepsat?")});
    EXPECT_TRUE(storedText().startsWith(QStringLiteral("Měsíc=preview;Přehled, a,b;")));
    seam.boxAnswers.enqueue(mrYes);
    saveAs(QStringLiteral("MĚSÍC"));
    EXPECT_EQ(storedText(), QStringLiteral("MĚSÍC=html;Přehled, a,b;1;0;1;0;NAME;NOTE;ID;PRICE\r\n"
                                           "týden=preview;Přehled, a,b;1;0;1;0;NAME;NOTE;ID;PRICE\r\n"));
    EXPECT_EQ(frameMenu().mid(0, 2), (QStringList{"MĚSÍC", "týden"}));
    EXPECT_EQ(frameMenu().size(), 4);
}

TEST_F(DefinitionTest, LoadingAppliesTheTemplateAndSkipsMissingFields) {
    ASSERT_TRUE(
        store.Write("dbo", QString(),
                    QStringLiteral("Výkaz=2;Přehled, a;0;1;0;2;PRICE (sčítat);NOSUCH;NAME\r\n"),
                    QString::fromLatin1(kKey)));
    dialog.SetFilterText(QStringLiteral("Stav: zaplaceno"));
    ASSERT_TRUE(dialog.LoadTemplate(QStringLiteral("&výkaz")));
    EXPECT_EQ(dialog.CurrentTemplate(), QStringLiteral("Výkaz"));
    EXPECT_EQ(dialog.FormatId(), QStringLiteral("html")); // stored the earlier way, as 2
    EXPECT_EQ(dialog.edtitle->text(), QStringLiteral("Přehled, a"));
    EXPECT_FALSE(dialog.chbtimestamp->isChecked());
    EXPECT_TRUE(dialog.chbfilter->isChecked());
    EXPECT_FALSE(dialog.chbreccount->isChecked());
    EXPECT_EQ(dialog.rgori->ItemIndex(), 2);
    EXPECT_EQ(listTexts(),
              (QStringList{"-note", "-id", "+price (sčítat)", "+name", "-active", "-born"}));
    EXPECT_TRUE(dialog.btndelete->isEnabled());
    EXPECT_FALSE(dialog.LoadTemplate(QStringLiteral("jiný")));
    EXPECT_TRUE(dialog.CurrentTemplate().isEmpty());
    EXPECT_FALSE(dialog.btndelete->isEnabled());
}

TEST_F(DefinitionTest, RunningATemplateFromTheFrameMenuGeneratesAtOnce) {
    ASSERT_TRUE(store.Write("dbo", QString(), QStringLiteral("csv=4;;1;1;1;0;ID;NAME\r\n"),
                            QString::fromLatin1(kKey)));
    Tfdboutput fresh; // reads the stored templates into the menus when initialized
    fresh.SetProgress(&progress);
    fresh.Initialize(&grid, &store, QString(), &menu, QString::fromLatin1(kKey));
    ASSERT_EQ(frameMenu(), (QStringList{"csv", QString(), CommonText(7)}));
    const QString file = dir.filePath(QStringLiteral("run.csv"));
    seam.fileAnswers.enqueue(file);
    seam.boxAnswers.enqueue(mrNo);
    menu.actions().first()->trigger();
    EXPECT_EQ(ReadFileBytes(file).left(9), QByteArray("id;name\r\n"));
    EXPECT_EQ(seam.boxTexts(), QStringList{CommonText(68)});
}

TEST_F(DefinitionTest, DeletingTheLastTemplateDeletesTheFile) {
    saveAs(QStringLiteral("Jediná"));
    ASSERT_TRUE(QFile::exists(templateFile()));
    seam.boxAnswers.enqueue(mrNo);
    dialog.DeleteTemplate();
    EXPECT_TRUE(QFile::exists(templateFile()));
    seam.boxAnswers.enqueue(mrYes);
    dialog.DeleteTemplate();
    EXPECT_EQ(seam.boxTexts().last(), QStringLiteral("Smazat šablonu \"Jediná\"?"));
    EXPECT_FALSE(QFile::exists(templateFile()));
    EXPECT_TRUE(dialog.CurrentTemplate().isEmpty());
    EXPECT_EQ(frameMenu().size(), 2);
    EXPECT_FALSE(dialog.pmsexport->isEnabled());
}

TEST_F(DefinitionTest, ExportAndImportOfTemplateFiles) {
    saveAs(QStringLiteral("Měsíční"));
    const QString tmo = dir.filePath(QStringLiteral("sablona"));
    seam.fileAnswers.enqueue(tmo);
    dialog.ExportTemplate();
    EXPECT_EQ(seam.fileDialogs.last().fileName, QStringLiteral("Měsíční.tmo"));
    EXPECT_EQ(FromWin1250Text(ReadFileBytes(tmo)),
              QStringLiteral("Měsíční=preview;Výpis;1;0;1;0;NAME;NOTE;ID;PRICE\r\n"));

    struct Case {
        const char *content;
        const char *error; // empty: imported under the name asked for
    };
    const QString file = dir.filePath(QStringLiteral("in.tmo"));
    for (const Case c : {Case{"=4;x\r\n", "Neplatný soubor šablony"},
                         Case{"", "Neplatný soubor šablony"}, Case{"Bez rovnítka\r\n", ""}}) {
        SCOPED_TRACE(c.content);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(c.content);
        out.close();
        seam.fileAnswers.enqueue(file);
        if (*c.error) {
            try {
                dialog.ImportTemplate();
                ADD_FAILURE() << "imported";
            } catch (const AppError &error) {
                EXPECT_EQ(error.message(), QString::fromUtf8(c.error));
            }
            continue;
        }
        seam.inputAnswers.enqueue(QStringLiteral("Bez rovnítka"));
        dialog.ImportTemplate();
        EXPECT_EQ(seam.inputs.last(), CommonText(69) + QStringLiteral("|") + CommonText(70));
        EXPECT_EQ(dialog.FormatId(), QStringLiteral("preview"));
        EXPECT_EQ(dialog.edtitle->text(), QString());
        EXPECT_TRUE(dialog.chbtimestamp->isChecked());
        EXPECT_TRUE(dialog.chbreccount->isChecked());
        EXPECT_EQ(listTexts().filter(QStringLiteral("+")).size(), 0);
        EXPECT_TRUE(storedText().startsWith(QStringLiteral("Bez rovnítka=preview;;1;0;1;0\r\n")));
    }

    // A template removed behind the dialog's back cannot be exported.
    store.Delete("dbo", QString(), QString::fromLatin1(kKey));
    seam.fileAnswers.enqueue(tmo);
    EXPECT_THROW(dialog.ExportTemplate(), AppError);
}

TEST_F(DefinitionTest, DoubleClickOnTemplatesReloadsTheFile) {
    QTest::mouseDClick(dialog.gbtemplates, Qt::LeftButton);
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].text, QStringLiteral("Konfigurace ") + templateFile() +
                                      QStringLiteral(" nebyla nalezena."));
    QFile file(templateFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("b=1\r\na=2\r\n");
    file.close();
    seam.boxAnswers.enqueue(mrYes);
    QTest::mouseDClick(dialog.gbtemplates, Qt::LeftButton);
    EXPECT_EQ(seam.boxes.last().text, QStringLiteral("Byla nalezena konfigurace tisků ") +
                                          templateFile() + QStringLiteral("\r\nProvést import?"));
    EXPECT_EQ(frameMenu().mid(0, 2), (QStringList{"b", "a"}));
}

} // namespace
