#include "files/ui/textfilecommands.h"

#include "base/appfolders.h"
#include "base/celltable.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "base/ui/tfrmscope.h"
#include "base/ui/windowservices.h"
#include "files/filefilters.h"
#include "files/tablesheet.h"
#include "files/textexport.h"
#include "files/wholefile.h"
#include "files/workbookwriter.h"

#include <QLocale>

#include <algorithm>

TextFileCommands::TextFileCommands(WindowServices &services)
    : m_services(services)
{
}

// The series is a copy: a recording may change the chart while the progress window lets
// pending messages run.
TextFileCommands::Written TextFileCommands::ExportGraphText(std::vector<double> xs,
                                                            std::vector<float> ys,
                                                            const QString &fileName, char separator)
{
    if (separator == ',' && !TextExport::commaFormAllowed(QLocale::system())) {
        m_services.prompts().showError(TextExport::commaFormRefused(fileName));
        return Written::Nothing;
    }
    const std::optional<RangeRule::Range> range
        = TfrmScope::RangeDialog(int(xs.size()), m_services.prompts(), m_services.dialogParent());
    if (!range)
        return Written::Nothing;
    TextExport::Lines lines;
    {
        ProgressWindow progress(ProgressWindow::Use::Saving, m_services.dialogParent());
        lines = TextExport::graphLines(xs, ys, *range, separator, QLocale::system(), &progress);
    }
    // Every point is written when the range starts at the first and nothing stopped the lines
    // before the series ended (where X is first 0).
    const int points = int(std::find(xs.begin(), xs.end(), 0.0) - xs.begin());
    const bool whole = !lines.cancelled && range->from <= 1 && range->to >= points;
    return write(fileName, lines.bytes, whole);
}

TextFileCommands::Written TextFileCommands::ExportTableText(const CellTable &table)
{
    const QString fileName = m_services.prompts().saveFileName(
        QStringLiteral("Save As"), m_services.folders().dialogFolder(),
        FileFilters::tableSaveFilter(FileFilters::systemUsesDecimalComma()), QStringLiteral("TXT"));
    if (fileName.isEmpty())
        return Written::Nothing;
    if (fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        // Every row, dates and numbers as a spreadsheet's own cells.
        const QString error = WorkbookWriter::write(
            fileName, { TableSheet::of(table, QLocale::system()) }, QLocale::system());
        if (!error.isEmpty()) {
            m_services.prompts().showError(error);
            return Written::Nothing;
        }
        return Written::Whole;
    }
    const char separator = TextExport::separatorForFileName(fileName);
    if (separator == ',' && !TextExport::commaFormAllowed(QLocale::system())) {
        m_services.prompts().showError(TextExport::commaFormRefused(fileName));
        return Written::Nothing;
    }
    const int rows = table.rowCount() - 1;
    const std::optional<RangeRule::Range> range
        = TfrmScope::RangeDialog(rows, m_services.prompts(), m_services.dialogParent());
    if (!range)
        return Written::Nothing;
    TextExport::Lines lines;
    {
        ProgressWindow progress(ProgressWindow::Use::Saving, m_services.dialogParent());
        lines = TextExport::tableLines(table, *range, separator, &progress);
    }
    const bool whole = !lines.cancelled && range->from <= 1 && range->to >= rows;
    return write(fileName, lines.bytes, whole);
}

TextFileCommands::Written TextFileCommands::write(const QString &fileName, const QByteArray &bytes,
                                                  bool whole)
{
    const QString error = WholeFile::write(fileName, bytes);
    if (!error.isEmpty()) {
        m_services.prompts().showError(error);
        return Written::Nothing;
    }
    return whole ? Written::Whole : Written::Part;
}
