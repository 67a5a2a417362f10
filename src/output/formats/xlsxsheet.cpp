#include "output/formats/xlsxsheet.h"

#include "base/logging.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace {

constexpr qsizetype kMaxCellText = 32767;

} // namespace

TXlsxSheet::TXlsxSheet(const QString &fileName) : m_fileName(fileName) {
    // A free name beside the target: the rename that replaces the target stays on its disk.
    {
        QTemporaryFile probe(fileName + QStringLiteral(".XXXXXX"));
        if (!probe.open())
            fail(probe.errorString());
        m_tempName = probe.fileName();
    }
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    m_book = workbook_new_opt(QFile::encodeName(m_tempName).constData(), &options);
    if (!m_book)
        fail(QStringLiteral("xlsx"));
    m_sheet = workbook_add_worksheet(m_book, nullptr);
    const char *numberFormats[StyleCount] = {nullptr,           nullptr, "d.m.yyyy",
                                             "d.m.yyyy h:mm:ss", "h:mm:ss", "0",
                                             "0.####",           "#,##0.00"};
    for (int i = 0; i < StyleCount; ++i) {
        m_styles[i] = workbook_add_format(m_book);
        if (numberFormats[i])
            format_set_num_format(m_styles[i], numberFormats[i]);
    }
    format_set_bold(m_styles[Bold]);
}

TXlsxSheet::~TXlsxSheet() {
    if (m_book) {
        workbook_close(m_book);
        QFile::remove(m_tempName);
    }
}

void TXlsxSheet::Text(int row, int column, const QString &text, Style style) {
    const QByteArray utf8 =
        (text.size() > kMaxCellText ? text.left(kMaxCellText) : text).toUtf8();
    worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(),
                           m_styles[style]);
}

void TXlsxSheet::Number(int row, int column, double value, Style style) {
    worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, m_styles[style]);
}

void TXlsxSheet::ColumnWidth(int column, double characters) {
    worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), characters, nullptr);
}

void TXlsxSheet::FreezeRowsAbove(int row) {
    worksheet_freeze_panes(m_sheet, lxw_row_t(row), 0);
}

void TXlsxSheet::AutoFilter(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    worksheet_autofilter(m_sheet, lxw_row_t(firstRow), lxw_col_t(firstColumn),
                         lxw_row_t(lastRow), lxw_col_t(lastColumn));
}

void TXlsxSheet::Commit() {
    const lxw_error error = workbook_close(m_book);
    m_book = nullptr;
    if (error != LXW_NO_ERROR) {
        QFile::remove(m_tempName);
        fail(QString::fromUtf8(lxw_strerror(error)));
    }
    // rename() replaces the target in one step, so a reader never sees half a file.
    if (std::rename(QFile::encodeName(m_tempName).constData(),
                    QFile::encodeName(m_fileName).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(m_tempName);
        fail(reason);
    }
}

void TXlsxSheet::fail(const QString &reason) {
    qCWarning(lcOutput).noquote() << "writing" << m_fileName << "failed:" << reason;
    throw AppError(FormatText(AppText(1700), {QDir::toNativeSeparators(m_fileName), reason}));
}
