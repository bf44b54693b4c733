#include "logger/ui/tfrmoverlay.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmOverlay::TfrmOverlay(const QStringList &dataSetRows, const QColor &color,
                         FileChooser fileChooser, QWidget *parent)
    : QDialog(parent)
    , m_chooseFile(std::move(fileChooser))
{
    setObjectName(QStringLiteral("frmOverlay"));
    setWindowTitle(QStringLiteral("Overlay"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *sourceBox = new QGroupBox(QStringLiteral("Source"), this);
    auto *sourceLayout = new QVBoxLayout(sourceBox);
    sourceLayout->addWidget(new QLabel(QStringLiteral("Data set"), sourceBox));
    lstDataSets = new QListWidget(sourceBox);
    lstDataSets->setObjectName(QStringLiteral("lstDataSets"));
    lstDataSets->addItems(dataSetRows);
    lstDataSets->setMinimumWidth(420);
    lstDataSets->setMaximumHeight(150);
    lstDataSets->setEnabled(!dataSetRows.isEmpty());
    sourceLayout->addWidget(lstDataSets);
    if (dataSetRows.isEmpty()) {
        auto *note = new QLabel(QStringLiteral("No collection is open: load the data logger's "
                                               "memory or open a collection to overlay one of "
                                               "its data sets."),
                                sourceBox);
        note->setObjectName(QStringLiteral("lblNoCollection"));
        note->setWordWrap(true);
        note->setEnabled(false);
        sourceLayout->addWidget(note);
    }
    auto *fileRow = new QHBoxLayout;
    btnGraphFile = new QPushButton(QStringLiteral("Graph file (.ghf)..."), sourceBox);
    btnGraphFile->setObjectName(QStringLiteral("btnGraphFile"));
    btnTextFile = new QPushButton(QStringLiteral("Text file..."), sourceBox);
    btnTextFile->setObjectName(QStringLiteral("btnTextFile"));
    fileRow->addWidget(btnGraphFile);
    fileRow->addWidget(btnTextFile);
    fileRow->addStretch(1);
    sourceLayout->addLayout(fileRow);
    lblSource = new QLabel(QStringLiteral("Choose a data set or a file."), sourceBox);
    lblSource->setObjectName(QStringLiteral("lblSource"));
    lblSource->setWordWrap(true);
    sourceLayout->addWidget(lblSource);

    auto *alignBox = new QGroupBox(QStringLiteral("Alignment"), this);
    auto *alignLayout = new QHBoxLayout(alignBox);
    rbClockTime = new QRadioButton(QStringLiteral("By clock time"), alignBox);
    rbClockTime->setObjectName(QStringLiteral("rbClockTime"));
    rbStart = new QRadioButton(QStringLiteral("By start"), alignBox);
    rbStart->setObjectName(QStringLiteral("rbStart"));
    rbClockTime->setChecked(true);
    alignLayout->addWidget(rbClockTime);
    alignLayout->addWidget(rbStart);
    alignLayout->addStretch(1);

    edtLabel = new QLineEdit(this);
    edtLabel->setObjectName(QStringLiteral("edtLabel"));
    auto *swatch = new QLabel(this);
    swatch->setFixedSize(40, 14);
    swatch->setStyleSheet(
        QStringLiteral("background: %1; border: 1px solid #555;").arg(color.name()));

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sourceBox);
    layout->addWidget(alignBox);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Label"), edtLabel);
    form->addRow(QStringLiteral("Colour"), swatch);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(lstDataSets, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            sourceChosen(Source::DataSet, row, QString());
    });
    connect(btnGraphFile, &QPushButton::clicked, this, [this] { chooseFile(Source::GraphFile); });
    connect(btnTextFile, &QPushButton::clicked, this, [this] { chooseFile(Source::TextFile); });
    connect(edtLabel, &QLineEdit::textEdited, this, [this] { m_labelEdited = true; });
}

void TfrmOverlay::selectDataSet(int set)
{
    lstDataSets->setCurrentRow(set);
}

bool TfrmOverlay::chooseFile(Source kind)
{
    const QString fileName = m_chooseFile ? m_chooseFile(kind) : QString();
    if (fileName.isEmpty())
        return false;
    sourceChosen(kind, -1, fileName);
    return true;
}

void TfrmOverlay::setAlignment(OverlayAlignment alignment)
{
    (alignment == OverlayAlignment::Start ? rbStart : rbClockTime)->setChecked(true);
}

void TfrmOverlay::setLabel(const QString &label)
{
    edtLabel->setText(label);
    m_labelEdited = true;
}

OverlayAlignment TfrmOverlay::alignment() const
{
    return rbStart->isChecked() ? OverlayAlignment::Start : OverlayAlignment::ClockTime;
}

QString TfrmOverlay::label() const
{
    const QString text = edtLabel->text().trimmed();
    return text.isEmpty() ? defaultLabel(m_source, m_dataSet, m_fileName) : text;
}

QString TfrmOverlay::defaultLabel(Source source, int dataSet, const QString &fileName)
{
    switch (source) {
    case Source::DataSet:
        return QStringLiteral("Data set %1").arg(dataSet + 1);
    case Source::GraphFile:
    case Source::TextFile:
        return QFileInfo(fileName).completeBaseName();
    case Source::None:
        break;
    }
    return {};
}

void TfrmOverlay::sourceChosen(Source source, int dataSet, const QString &fileName)
{
    m_source = source;
    m_dataSet = dataSet;
    m_fileName = fileName;
    if (source != Source::DataSet) {
        const QSignalBlocker blocker(lstDataSets);
        lstDataSets->setCurrentRow(-1);
        lstDataSets->clearSelection();
    }
    lblSource->setText(source == Source::DataSet
                           ? QStringLiteral("Overlay: data set %1").arg(dataSet + 1)
                           : QStringLiteral("Overlay: ") + QDir::toNativeSeparators(fileName));
    if (!m_labelEdited)
        edtLabel->setText(defaultLabel(source, dataSet, fileName));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
}
