#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

// Splits one line of a text file of readings into its fields. Each separator ends a field; the
// rest after the last separator is a field when it is not empty. A field that starts with a
// double quote runs to its closing quote, two quotes inside it standing for one, and loses its
// quotes (a separator or a line end inside the quotes belongs to the field); text between the
// closing quote and the next separator is kept. A quote that never closes runs to the end of
// the line. Fields without quotes are taken as they stand.
class CsvFields
{
public:
    // Splits line into at most `most` fields. The views stay valid until the next split or until
    // line changes.
    const std::vector<QStringView> &split(QStringView line, QChar separator, int most);

private:
    std::vector<QStringView> m_fields;
    QString m_unquoted; // the texts of quoted fields that had to be rewritten
};
