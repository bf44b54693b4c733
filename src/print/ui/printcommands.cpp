#include "print/ui/printcommands.h"

#include "base/ui/prompts.h"
#include "base/ui/stringgrid.h"
#include "chart/ui/pesgraph.h"
#include "print/tableprintout.h"

#include <QDir>
#include <QPrinter>

namespace {

// What the user is told when the printout could not be made: the file it was to go to, or the
// printer.
void showPrintFailure(Prompts &prompts, const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty()) {
        prompts.showError(QStringLiteral("Cannot print to the file \"%1\": it cannot be written.")
                              .arg(QDir::toNativeSeparators(printer.outputFileName())));
        return;
    }
    const QString name
        = printer.printerName().isEmpty() ? QStringLiteral("(none)") : printer.printerName();
    prompts.showError(
        QStringLiteral("Cannot print on the printer \"%1\": it cannot be opened.").arg(name));
}

} // namespace

namespace PrintCommands {

bool PrintTable(const StringGrid &grid, Prompts &prompts, QPrinter &printer)
{
    if (!prompts.printDialog(printer))
        return false;
    if (!TablePrintout::print(printer, grid.table(), TablePrintout::font())) {
        showPrintFailure(prompts, printer);
        return false;
    }
    return true;
}

bool PrintGraph(PESGraph &chart, Prompts &prompts, QPrinter &printer)
{
    // The look can be adjusted for paper first; whatever the dialog's answer, printing goes on.
    chart.setCustomizePages(false, false, false, false);
    chart.customize();
    chart.setCustomizePages(true, true, true, true);
    if (!prompts.printDialog(printer))
        return false;
    if (!chart.print(printer)) {
        showPrintFailure(prompts, printer);
        return false;
    }
    return true;
}

} // namespace PrintCommands
