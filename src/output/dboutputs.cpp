#include "output/dboutputs.h"

#include "data/clienttable.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "output/fieldkinds.h"

#include <QFileInfo>

Tdboutputs::Tdboutputs(TOutputProgress *progress) : m_progress(progress ? progress : &m_silent) {}

void Tdboutputs::PrepareItems(TClientTable &table, Tdboutputsfields &items) {
    const auto complete = [&table](Tdboutputsfield &item) {
        if (!item.name.isEmpty() || item.index < 0 || item.index >= table.FieldCount())
            item.index = table.FieldByName(item.name).Index();
        else
            item.name = table.FieldDefs().at(item.index).name;
        const TFieldDef &field = table.FieldDefs().at(item.index);
        if (item.label.isEmpty())
            item.label = FieldDisplayLabel(field).isEmpty() ? field.name : FieldDisplayLabel(field);
        if (item.width == 0)
            item.width = FieldDisplayPixels(field);
    };
    if (items.isEmpty()) {
        for (int i = 0; i < table.FieldCount(); ++i) {
            Tdboutputsfield item;
            item.index = i;
            items.append(item);
        }
    }
    for (Tdboutputsfield &item : items)
        complete(item);
}

QString Tdboutputs::AskSaveName(const QString &caption, const QString &filter,
                                const QString &extension) {
    FileDialogRequest request;
    request.save = true;
    request.caption = caption;
    request.filter = QtFileFilter(filter);
    request.defaultExtension = extension;
    QString name = CurrentSeam().fileDialog(request);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += u'.' + extension;
    return name;
}

QString Tdboutputs::QtFileFilter(const QString &filter) {
    // "csv soubory (*.csv)|*.csv" becomes "csv soubory (*.csv)"; the patterns between the
    // parentheses are what the dialog matches, separated by blanks.
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(QLatin1String(" ("));
        if (open >= 0 && description.endsWith(u')'))
            description.truncate(open);
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries.append(description + QLatin1String(" (") + patterns + u')');
    }
    return entries.join(QLatin1String(";;"));
}

void Tdboutputs::OfferToOpen(const QString &question, const QString &fileName) {
    if (AppMessageBox(question, mtConfirmation, mbYes | mbNo) == mrYes)
        CurrentSeam().openDocument(fileName);
}
