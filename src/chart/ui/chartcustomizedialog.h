#pragma once

#include "chart/chartmodel.h"

#include <QColor>
#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The chart's customisation dialog: titles, subsets (colour and line type), look (grid and
// colour or monochrome), font sizes and annotations, on tabbed pages. The first four pages can
// be left out; the annotations page is always there, so the dialog is never empty.
//
// The dialog edits copies of the values; applyTo writes them into a chart and tells whether
// anything changed. Controls are reachable by their accessors so that tests can fill them.
class ChartCustomizeDialog : public QDialog
{
    Q_OBJECT

public:
    struct Pages
    {
        bool fonts = true;
        bool titles = true;
        bool look = true;
        bool subsets = true;
    };

    ChartCustomizeDialog(const ChartModel &chart, Pages pages, QWidget *parent = nullptr);

    // Writes the values of the pages shown into the chart; returns whether any value differs
    // from what the chart held.
    bool applyTo(ChartModel &chart) const;

    QTabWidget *tabs() const { return m_tabs; }

    // Titles page (null when the page is left out).
    QLineEdit *mainTitleEdit() const { return m_mainTitle; }
    QLineEdit *subTitleEdit() const { return m_subTitle; }
    QLineEdit *xAxisLabelEdit() const { return m_xAxisLabel; }

    // Subsets page.
    int subsetCount() const { return static_cast<int>(m_colors.size()); }
    QColor subsetColor(int subset) const;
    void setSubsetColor(int subset, const QColor &color);
    QComboBox *lineTypeBox(int subset) const;

    // Look page.
    QComboBox *gridStyleBox() const { return m_gridStyle; }
    QComboBox *viewingStyleBox() const { return m_viewingStyle; }

    // Fonts page.
    QSpinBox *titleSizeBox() const { return m_titleSize; }
    QSpinBox *labelSizeBox() const { return m_labelSize; }
    QSpinBox *legendSizeBox() const { return m_legendSize; }

    // Annotations page.
    QCheckBox *showGraphAnnotationsBox() const { return m_showGraphAnnotations; }
    QSpinBox *graphAnnotationSizeBox() const { return m_graphAnnotationSize; }
    QCheckBox *showLineAnnotationsBox() const { return m_showLineAnnotations; }
    QSpinBox *lineAnnotationSizeBox() const { return m_lineAnnotationSize; }

private:
    QWidget *createTitlesPage(const ChartModel &chart);
    QWidget *createSubsetsPage(const ChartModel &chart);
    QWidget *createLookPage(const ChartModel &chart);
    QWidget *createFontsPage(const ChartModel &chart);
    QWidget *createAnnotationsPage(const ChartModel &chart);
    void chooseColor(int subset);

    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_mainTitle = nullptr;
    QLineEdit *m_subTitle = nullptr;
    QLineEdit *m_xAxisLabel = nullptr;
    std::vector<QColor> m_colors;
    std::vector<QPushButton *> m_colorButtons;
    std::vector<QComboBox *> m_lineTypes;
    QComboBox *m_gridStyle = nullptr;
    QComboBox *m_viewingStyle = nullptr;
    QSpinBox *m_titleSize = nullptr;
    QSpinBox *m_labelSize = nullptr;
    QSpinBox *m_legendSize = nullptr;
    QCheckBox *m_showGraphAnnotations = nullptr;
    QSpinBox *m_graphAnnotationSize = nullptr;
    QCheckBox *m_showLineAnnotations = nullptr;
    QSpinBox *m_lineAnnotationSize = nullptr;
};
