#include "files/ui/textfilecommands.h"

#include "base/appfolders.h"
#include "base/celltable.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "base/ui/tfrmscope.h"
#include "base/ui/windowservices.h"
#include "files/filefilters.h"
#include "files/textexport.h"
#include "files/wholefile.h"

#include <QLocale>

TextFileCommands::TextFileCommands(WindowServices &services)
    : m_services(services)
{
}

bool TextFileCommands::ExportGraphText(const std::vector<double> &xs, const std::vector<float> &ys,
                                       const QString &fileName, char separator)
{
    const std::optional<RangeRule::Range> range
        = TfrmScope::RangeDialog(int(xs.size()), m_services.prompts(), m_services.dialogParent());
    if (!range)
        return false;
    TextExport::Lines lines;
    {
        ProgressWindow progress(ProgressWindow::Use::Saving, m_services.dialogParent());
        lines = TextExport::graphLines(xs, ys, *range, separator, QLocale::system(), &progress);
    }
    return write(fileName, lines.bytes);
}

bool TextFileCommands::ExportTableText(const CellTable &table)
{
    const QString fileName = m_services.prompts().saveFileName(
        QStringLiteral("Save As"), m_services.folders().dialogFolder(),
        FileFilters::tableFilter(FileFilters::systemUsesDecimalComma()), QStringLiteral("TXT"));
    if (fileName.isEmpty())
        return false;
    const std::optional<RangeRule::Range> range = TfrmScope::RangeDialog(
        table.rowCount() - 1, m_services.prompts(), m_services.dialogParent());
    if (!range)
        return false;
    TextExport::Lines lines;
    {
        ProgressWindow progress(ProgressWindow::Use::Saving, m_services.dialogParent());
        lines = TextExport::tableLines(table, *range, TextExport::separatorForFileName(fileName),
                                       &progress);
    }
    return write(fileName, lines.bytes);
}

bool TextFileCommands::write(const QString &fileName, const QByteArray &bytes)
{
    const QString error = WholeFile::write(fileName, bytes);
    if (!error.isEmpty()) {
        m_services.prompts().showError(error);
        return false;
    }
    return true;
}
