#pragma once

#include "print/reportsections.h"
#include "print/ui/instrumentreader.h"
#include "survey/surveydetails.h"

#include <QDialog>

#include <map>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Report": the report's title, starting with the graph's, a free note for it, the sections it
// holds (all of them to start with) and the survey's details, which the measurement keeps: who,
// where, the instrument (typed, or read from the meter) and the calibration checks before and
// after, whose difference is shown and marked when it is over the tolerance. OK is disabled
// while a calibration level is not a level.
class TfrmReport : public QDialog
{
    Q_OBJECT

public:
    TfrmReport(const QString &title, const SurveyDetails &details, QWidget *parent = nullptr);

    // "Read from meter" asks reader; without one the button is disabled.
    void setInstrumentReader(InstrumentReader reader);

    QString title() const;
    QString note() const;
    // The details as typed: texts trimmed (the notes' lines kept), levels that are not levels as
    // not known.
    SurveyDetails details() const;
    void setDetails(const SurveyDetails &details);
    ReportSections::Set sections() const;

    QLineEdit *edtTitle = nullptr;
    QPlainTextEdit *memNote = nullptr;

    QLineEdit *edtProject = nullptr;
    QLineEdit *edtClient = nullptr;
    QLineEdit *edtSite = nullptr;
    QLineEdit *edtPosition = nullptr;
    QLineEdit *edtOperator = nullptr;
    QLineEdit *edtWeather = nullptr;
    QPlainTextEdit *memNotes = nullptr;

    QComboBox *cboModel = nullptr;
    QLineEdit *edtSerialNumber = nullptr;
    QLineEdit *edtFirmware = nullptr;
    QLineEdit *edtCal94 = nullptr;
    QLineEdit *edtCal70 = nullptr;
    QPushButton *btnReadMeter = nullptr;
    QLabel *lblReadMeter = nullptr;

    // The calibration checks: before (0) and after (1).
    struct CheckRow
    {
        QLineEdit *reference = nullptr;
        QLineEdit *reading = nullptr;
        QLabel *difference = nullptr;
    };
    CheckRow checks[2];

    std::map<ReportSection, QCheckBox *> chkSections;
    QDialogButtonBox *buttons = nullptr;

private:
    QGroupBox *reportGroup(const QString &title);
    QGroupBox *surveyGroup();
    QGroupBox *instrumentGroup();
    QGroupBox *calibrationGroup();
    QGroupBox *sectionsGroup();
    void btnReadMeterClick();
    // The differences again, and OK enabled only while every level typed is a level.
    void updateChecks();

    InstrumentReader m_readInstrument;
};
