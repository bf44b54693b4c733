#pragma once

#include "chart/chartmodel.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// "Overlay": which second measurement to draw over a graph (a data set of the open collection,
// a graph file or a text file), how to align it ("By clock time" or "By start"), and its label.
// It only asks; the caller reads the source.
class TfrmOverlay : public QDialog
{
    Q_OBJECT

public:
    enum class Source { None, DataSet, GraphFile, TextFile };
    // Asks for a file of a kind; an empty name when the user cancels.
    using FileChooser = std::function<QString(Source)>;

    // dataSetRows: one text per data set of the open collection; none when no collection is
    // open (the list is then disabled and says so). color: the colour the overlay is drawn in.
    TfrmOverlay(const QStringList &dataSetRows, const QColor &color, FileChooser fileChooser,
                QWidget *parent = nullptr);

    // The user's choices, also for tests filling the dialog in.
    void selectDataSet(int set);
    // "Graph file (.ghf)..." or "Text file...": asks for the file; true when one was chosen.
    bool chooseFile(Source kind);
    void setAlignment(OverlayAlignment alignment);
    void setLabel(const QString &label);

    Source source() const { return m_source; }
    int dataSet() const { return m_dataSet; } // from 0
    QString fileName() const { return m_fileName; }
    OverlayAlignment alignment() const;
    QString label() const;

    // The label a source is given unless the user types another: "Data set N", or the file's
    // name without its folder and extension.
    static QString defaultLabel(Source source, int dataSet, const QString &fileName);

private:
    void sourceChosen(Source source, int dataSet, const QString &fileName);

    FileChooser m_chooseFile;
    Source m_source = Source::None;
    int m_dataSet = -1;
    QString m_fileName;
    bool m_labelEdited = false;

    QListWidget *lstDataSets = nullptr;
    QPushButton *btnGraphFile = nullptr, *btnTextFile = nullptr;
    QLabel *lblSource = nullptr;
    QRadioButton *rbClockTime = nullptr, *rbStart = nullptr;
    QLineEdit *edtLabel = nullptr;
    QDialogButtonBox *buttons = nullptr;
};
