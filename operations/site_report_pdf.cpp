#include "operations/site_report_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace fk {
namespace {

constexpr qreal kMarginMm = 12;
constexpr qreal kBodyPointSize = 9;

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QTextCharFormat TextFormat(qreal point_size, bool bold) {
    QTextCharFormat format;
    format.setFontPointSize(point_size);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

void AddParagraph(QTextCursor& cursor, const std::string& text, qreal point_size, bool bold) {
    QTextBlockFormat block;
    block.setTopMargin(point_size);
    block.setBottomMargin(point_size / 2);
    cursor.insertBlock(block, TextFormat(point_size, bold));
    cursor.insertText(Q(text));
}

QTextTableFormat RuledTable() {
    QTextTableFormat format;
    format.setBorderCollapse(true);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    // A table that runs over a page repeats its header row on the next.
    format.setHeaderRowCount(1);
    return format;
}

void AddRow(QTextTable& table, int row, const TextRow& cells, bool header) {
    const QTextCharFormat format = TextFormat(kBodyPointSize, header);
    for (int column = 0; column < table.columns(); ++column) {
        const auto at = static_cast<std::size_t>(column);
        QTextCursor cell = table.cellAt(row, column).firstCursorPosition();
        cell.insertText(at < cells.size() ? Q(cells[at]) : QString(), format);
    }
}

void AddTable(QTextCursor& cursor, const TextRow& header, const std::vector<TextRow>& rows) {
    QTextTable* table = cursor.insertTable(static_cast<int>(rows.size()) + 1,
                                           static_cast<int>(header.size()), RuledTable());
    AddRow(*table, 0, header, true);
    for (std::size_t i = 0; i < rows.size(); ++i)
        AddRow(*table, static_cast<int>(i) + 1, rows[i], false);
    cursor.movePosition(QTextCursor::End);
}

}  // namespace

std::unique_ptr<QTextDocument> SiteReportDocument(const SiteReport& report) {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    cursor.setCharFormat(TextFormat(18, true));
    cursor.insertText(Q(report.title));
    AddParagraph(cursor, report.date_caption + " " + report.date, kBodyPointSize + 1, false);
    AddParagraph(cursor, report.adapters_title, 12, true);
    AddTable(cursor, report.adapter_header, report.adapter_rows);
    AddParagraph(cursor, report.radios_title, 12, true);
    AddTable(cursor, report.radio_header, report.radio_rows);
    return document;
}

int WriteSiteReportPdf(const SiteReport& report, const QString& path) {
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setTitle(Q(report.title));
    writer.setCreator(QStringLiteral("Fieldkit"));
    // The painter opens the file; a folder without write access fails here.
    QPainter painter;
    if (!painter.begin(&writer)) return 0;
    const auto document = SiteReportDocument(report);
    document->documentLayout()->setPaintDevice(&writer);
    const QSizeF page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
    document->setPageSize(page);
    const int pages = document->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) writer.newPage();
        const QRectF shown(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        document->drawContents(&painter, shown);
        painter.restore();
    }
    return painter.end() ? pages : 0;
}

}  // namespace fk
