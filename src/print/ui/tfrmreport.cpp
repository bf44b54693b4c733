#include "print/ui/tfrmreport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The meter this program reads: the model offered when none is given.
const QString MeterModel = QStringLiteral("Q7316");
constexpr int LevelWidth = 70;
constexpr int FieldWidth = 220;

QLineEdit *edit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QPlainTextEdit *memo(const char *name, int lines, QWidget *parent)
{
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(QLatin1String(name));
    m->setTabChangesFocus(true);
    m->setFixedHeight(m->fontMetrics().lineSpacing() * lines + 12);
    return m;
}

// A stored level exactly as it is, so that OK without an edit keeps it.
QString levelField(const std::optional<double> &level)
{
    QLocale plain = QLocale::system();
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    if (!level)
        return QString();
    // Whole levels with their tenth, as they are typed (94.0).
    return *level == std::round(*level)
        ? plain.toString(*level, 'f', 1)
        : plain.toString(*level, 'g', QLocale::FloatingPointShortest);
}

// A level field: none when empty, or not a level.
std::optional<double> levelOf(const QLineEdit *field)
{
    return CalibrationCheck::parseLevel(field->text(), QLocale::system());
}

bool isLevelOrEmpty(const QLineEdit *field)
{
    return field->text().trimmed().isEmpty() || levelOf(field).has_value();
}

void showMarked(QLabel *label, const QString &text, bool marked)
{
    label->setText(text);
    label->setStyleSheet(marked ? QStringLiteral("color: #c00000; font-weight: bold;") : QString());
}

} // namespace

TfrmReport::TfrmReport(const QString &title, const SurveyDetails &details, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *first = new QVBoxLayout;
    first->addWidget(reportGroup(title), 1);
    first->addWidget(sectionsGroup());
    auto *second = new QVBoxLayout;
    second->addWidget(surveyGroup());
    second->addStretch(1);
    auto *third = new QVBoxLayout;
    third->addWidget(instrumentGroup());
    third->addWidget(calibrationGroup());
    third->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(first, 1);
    columns->addLayout(second, 1);
    columns->addLayout(third, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);

    setDetails(details);
    setInstrumentReader({});
    edtTitle->setFocus();
    edtTitle->selectAll();
}

QGroupBox *TfrmReport::reportGroup(const QString &title)
{
    auto *group = new QGroupBox(QStringLiteral("Report"), this);
    edtTitle = edit("edtTitle", group);
    edtTitle->setText(title);
    edtTitle->setMinimumWidth(260);
    memNote = new QPlainTextEdit(group);
    memNote->setObjectName(QStringLiteral("memNote"));
    memNote->setPlaceholderText(QStringLiteral("What this report is for, what was heard..."));
    memNote->setTabChangesFocus(true);
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("Title"), edtTitle);
    form->addRow(QStringLiteral("Note"), memNote);
    return group;
}

QGroupBox *TfrmReport::sectionsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Sections"), this);
    auto *grid = new QGridLayout(group);
    const ReportSections::Set every = ReportSections::all();
    const int rows = int(every.size() + 1) / 2;
    int at = 0;
    for (const ReportSection section : every) {
        auto *box = new QCheckBox(ReportSections::captionOf(section), group);
        box->setObjectName(QStringLiteral("chkSection_") + ReportSections::nameOf(section));
        box->setChecked(true);
        grid->addWidget(box, at % rows, at / rows);
        chkSections[section] = box;
        ++at;
    }
    return group;
}

QGroupBox *TfrmReport::surveyGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Survey"), this);
    edtProject = edit("edtProject", group);
    edtClient = edit("edtClient", group);
    edtSite = edit("edtSite", group);
    edtPosition = edit("edtPosition", group);
    edtOperator = edit("edtOperator", group);
    edtWeather = edit("edtWeather", group);
    memNotes = memo("memNotes", 5, group);
    for (QWidget *field : std::initializer_list<QWidget *> {
             edtProject, edtClient, edtSite, edtPosition, edtOperator, edtWeather, memNotes })
        field->setMinimumWidth(FieldWidth);
    edtSite->setPlaceholderText(QStringLiteral("Address or name of the place"));
    edtPosition->setPlaceholderText(QStringLiteral("Where the microphone stood"));
    edtWeather->setPlaceholderText(QStringLiteral("Wind, rain, temperature"));
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("Project"), edtProject);
    form->addRow(QStringLiteral("Client"), edtClient);
    form->addRow(QStringLiteral("Site"), edtSite);
    form->addRow(QStringLiteral("Measurement position"), edtPosition);
    form->addRow(QStringLiteral("Operator"), edtOperator);
    form->addRow(QStringLiteral("Weather"), edtWeather);
    form->addRow(QStringLiteral("Notes"), memNotes);
    return group;
}

QGroupBox *TfrmReport::instrumentGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Instrument"), this);
    cboModel = new QComboBox(group);
    cboModel->setObjectName(QStringLiteral("cboModel"));
    cboModel->setEditable(true);
    cboModel->addItem(MeterModel);
    cboModel->setInsertPolicy(QComboBox::NoInsert);
    edtSerialNumber = edit("edtSerialNumber", group);
    edtFirmware = edit("edtFirmware", group);
    edtCal94 = edit("edtCal94", group);
    edtCal70 = edit("edtCal70", group);
    btnReadMeter = new QPushButton(QStringLiteral("Read from meter"), group);
    btnReadMeter->setObjectName(QStringLiteral("btnReadMeter"));
    lblReadMeter = new QLabel(group);
    lblReadMeter->setObjectName(QStringLiteral("lblReadMeter"));
    lblReadMeter->setWordWrap(true);
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("Model"), cboModel);
    form->addRow(QStringLiteral("Serial number"), edtSerialNumber);
    form->addRow(QStringLiteral("Firmware"), edtFirmware);
    form->addRow(QStringLiteral("94 dB calibration"), edtCal94);
    form->addRow(QStringLiteral("70 dB calibration"), edtCal70);
    form->addRow(btnReadMeter, lblReadMeter);
    connect(btnReadMeter, &QPushButton::clicked, this, &TfrmReport::btnReadMeterClick);
    return group;
}

QGroupBox *TfrmReport::calibrationGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Calibration check"), this);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Reference (dB)"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Reading (dB)"), group), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Difference"), group), 0, 3);
    const char *names[2][3] = { { "edtReferenceBefore", "edtReadingBefore", "lblDifferenceBefore" },
                                { "edtReferenceAfter", "edtReadingAfter", "lblDifferenceAfter" } };
    const QString captions[2] = { QStringLiteral("Before"), QStringLiteral("After") };
    for (int row = 0; row < 2; ++row) {
        CheckRow &check = checks[row];
        check.reference = edit(names[row][0], group);
        check.reading = edit(names[row][1], group);
        check.difference = new QLabel(group);
        check.difference->setObjectName(QLatin1String(names[row][2]));
        check.difference->setMinimumWidth(150);
        for (QLineEdit *level : { check.reference, check.reading }) {
            level->setFixedWidth(LevelWidth);
            connect(level, &QLineEdit::textChanged, this, &TfrmReport::updateChecks);
        }
        check.reference->setPlaceholderText(QStringLiteral("94.0"));
        grid->addWidget(new QLabel(captions[row], group), row + 1, 0);
        grid->addWidget(check.reference, row + 1, 1);
        grid->addWidget(check.reading, row + 1, 2);
        grid->addWidget(check.difference, row + 1, 3);
    }
    grid->setColumnStretch(3, 1);
    return group;
}

void TfrmReport::setInstrumentReader(InstrumentReader reader)
{
    m_readInstrument = std::move(reader);
    btnReadMeter->setEnabled(bool(m_readInstrument));
    btnReadMeter->setToolTip(
        m_readInstrument ? QStringLiteral("The model, serial number, firmware and "
                                          "calibration values as the meter reports them")
                         : QStringLiteral("No meter to read: type the instrument's details"));
}

void TfrmReport::btnReadMeterClick()
{
    if (!m_readInstrument)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const InstrumentReading read = m_readInstrument();
    QApplication::restoreOverrideCursor();
    if (!read.instrument) {
        showMarked(lblReadMeter, read.error, true);
        return;
    }
    const InstrumentDetails &i = *read.instrument;
    if (!i.model.isEmpty())
        cboModel->setCurrentText(i.model);
    edtSerialNumber->setText(i.serialNumber);
    edtFirmware->setText(i.firmware);
    edtCal94->setText(i.calibration94);
    edtCal70->setText(i.calibration70);
    showMarked(lblReadMeter, QStringLiteral("Read from the meter."), false);
}

void TfrmReport::updateChecks()
{
    const QLocale locale = QLocale::system();
    bool allLevels = true;
    for (const CheckRow &row : checks) {
        if (!isLevelOrEmpty(row.reference) || !isLevelOrEmpty(row.reading)) {
            allLevels = false;
            showMarked(row.difference, QStringLiteral("A level is from 0 to 200 dB."), true);
            continue;
        }
        const CalibrationCheck check { levelOf(row.reference), levelOf(row.reading) };
        const std::optional<double> difference = check.difference();
        if (!difference) {
            showMarked(row.difference, QString(), false);
            continue;
        }
        QString text = (*difference > 0.0 ? QStringLiteral("+") : QString())
            + CalibrationCheck::levelText(*difference, locale) + QStringLiteral(" dB");
        if (check.flagged())
            text += QStringLiteral(", over %1 dB")
                        .arg(CalibrationCheck::levelText(CalibrationCheck::Tolerance, locale));
        showMarked(row.difference, text, check.flagged());
    }
    buttons->button(QDialogButtonBox::Ok)->setEnabled(allLevels);
}

QString TfrmReport::title() const
{
    return edtTitle->text().trimmed();
}

QString TfrmReport::note() const
{
    return memNote->toPlainText();
}

SurveyDetails TfrmReport::details() const
{
    SurveyDetails d;
    d.project = edtProject->text().trimmed();
    d.client = edtClient->text().trimmed();
    d.site = edtSite->text().trimmed();
    d.position = edtPosition->text().trimmed();
    d.operatorName = edtOperator->text().trimmed();
    d.weather = edtWeather->text().trimmed();
    const QString notes = memNotes->toPlainText();
    d.notes = notes.trimmed().isEmpty() ? QString() : notes;
    d.instrument.model = cboModel->currentText().trimmed();
    d.instrument.serialNumber = edtSerialNumber->text().trimmed();
    d.instrument.firmware = edtFirmware->text().trimmed();
    d.instrument.calibration94 = edtCal94->text().trimmed();
    d.instrument.calibration70 = edtCal70->text().trimmed();
    d.calibrationBefore = { levelOf(checks[0].reference), levelOf(checks[0].reading) };
    d.calibrationAfter = { levelOf(checks[1].reference), levelOf(checks[1].reading) };
    return d;
}

void TfrmReport::setDetails(const SurveyDetails &details)
{
    edtProject->setText(details.project);
    edtClient->setText(details.client);
    edtSite->setText(details.site);
    edtPosition->setText(details.position);
    edtOperator->setText(details.operatorName);
    edtWeather->setText(details.weather);
    memNotes->setPlainText(details.notes);
    const InstrumentDetails &i = details.instrument;
    cboModel->setCurrentText(i.model.isEmpty() ? MeterModel : i.model);
    edtSerialNumber->setText(i.serialNumber);
    edtFirmware->setText(i.firmware);
    edtCal94->setText(i.calibration94);
    edtCal70->setText(i.calibration70);
    const CalibrationCheck *stored[2] = { &details.calibrationBefore, &details.calibrationAfter };
    for (int row = 0; row < 2; ++row) {
        checks[row].reference->setText(levelField(stored[row]->reference));
        checks[row].reading->setText(levelField(stored[row]->reading));
    }
    updateChecks();
}

ReportSections::Set TfrmReport::sections() const
{
    ReportSections::Set chosen;
    for (const auto &[section, box] : chkSections)
        if (box->isChecked())
            chosen.insert(section);
    return chosen;
}
