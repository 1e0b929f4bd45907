// The site report on paper: a document with its headings and two ruled tables,
// printed to a PDF file by Qt's own writer.
#pragma once

#include <QString>
#include <memory>

#include "operations/site_report.h"

class QTextDocument;

namespace fk {

std::unique_ptr<QTextDocument> SiteReportDocument(const SiteReport& report);

// A4 landscape, so the radio table's eight columns keep their lines. The number of
// pages printed, or 0 when the file could not be written.
int WriteSiteReportPdf(const SiteReport& report, const QString& path);

}  // namespace fk
