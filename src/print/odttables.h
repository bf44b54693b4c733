#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QTextDocument;

// Qt's OpenDocument writer leaves out how a document's tables are laid out: a table's width
// and its columns' shares are written in units a word processor does not read, the columns do
// not name their styles, and the header rows are not marked, so a long table loses its header
// on the pages it runs onto. These put them in, for the tables of the document the file was
// written from.
namespace OdtTables {

// content.xml of the written file with the tables laid out as in the document.
QString laidOut(const QString &contentXml, const QTextDocument &document);

// The written file with its content.xml laid out; none when the file could not be read or
// written again as a zip archive (`error` says why).
std::optional<QByteArray> laidOut(const QByteArray &odt, const QTextDocument &document,
                                  QString &error);

} // namespace OdtTables
