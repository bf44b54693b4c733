#pragma once

#include "print/surveyreport.h"

#include <QString>

#include <vector>

// The texts of a survey report's page, worked out from its contents in their locale; the page
// (ReportPage) only places them.
struct ReportTexts
{
    struct FigureRow
    {
        QString name; // with its unit: "Leq (dB)"
        QString whole, between;
        std::vector<QString> more; // the Specific and Residual values, where shown
    };

    QString title;
    std::vector<QString> about; // "Report made ...", then where the graph came from
    QString note;
    std::vector<FigureRow> figures; // the eleven figures, in the panel's order
    std::vector<QString> moreFigureTitles; // "Specific", "Residual": the columns after A-B
    std::vector<QString> cursors; // cursor A, cursor B
    // "Excluded intervals", or "Intervals" when some are Specific or Residual: then each line
    // names its interval's category.
    QString intervalsTitle;
    std::vector<QString> exclusions; // one line each
    std::vector<QString> annotations; // one line each

    static ReportTexts of(const SurveyReport::Contents &contents);
};
