#pragma once

#include "print/reportdocument.h"

#include <QObject>
#include <QTextObjectInterface>

#include <vector>

// The pictures of a report drawn in place when its document is painted: a text object across
// the text width, as high as its aspect asks but no higher than its share of the page, drawn by
// the picture's own function.
class ReportPictureObject : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int Type = QTextFormat::UserObject + 1;
    enum Property { PictureIndex = QTextFormat::UserProperty + 1, MaxHeightShare };

    ReportPictureObject(std::vector<ReportDocument::Picture> pictures, QObject *parent);

    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
                    const QTextFormat &format) override;

private:
    std::vector<ReportDocument::Picture> m_pictures;
};
