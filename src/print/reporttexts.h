#pragma once

#include "print/surveyreport.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// The texts of a survey report, worked out from its contents in their locale, section by
// section; a section with nothing to say is empty, and the document (ReportDocument) leaves it
// out. The document only places these texts.
struct ReportTexts
{
    // A table with one header row; a flagged cell is marked and explained by the table's note.
    struct Table
    {
        QStringList titles;
        std::vector<QStringList> rows;
        std::vector<quint32> flagged; // per row, bit c: cell c is flagged
        QString note; // under the table; empty for none
        bool isEmpty() const { return rows.empty(); }
    };

    // A line of the details: its name and text; `flagged` marks a calibration drift.
    struct Detail
    {
        QString name, value;
        bool flagged = false;
    };

    QString title;
    std::vector<QString> about; // "Report made ...", then where the graph came from
    QString note;
    QString footer; // the project, for every page's footer; empty without one

    std::vector<Detail> details;
    QString detailNotes; // the survey's notes, line breaks kept
    Table figures; // the eleven figures in the panel's order, a column per kind of points
    std::vector<QString> figureNotes; // what the columns hold, the cursors
    std::vector<QString> compliance;
    QString periodsTitle;
    Table periods;
    QString daysTitle;
    Table days;
    QString exceedancesTitle;
    Table exceedances;
    QString distributionTitle;
    bool distribution = false; // a chart to draw
    QString intervalsTitle; // "Excluded intervals", or "Intervals" with Specific or Residual ones
    Table intervals;
    Table annotations;
    std::vector<QString> overlay;
    Table overlayFigures;
    std::vector<QString> method;

    // True when the section has something to show (the graph: while the chart has points).
    bool holds(ReportSection section) const;

    static ReportTexts of(const SurveyReport::Contents &contents);
    // The most exceedances listed; the rest are counted in a line under the list (the summary
    // and "Export Exceedances" hold them all).
    static constexpr int MaxListedExceedances = 1000;
};
