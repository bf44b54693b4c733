#pragma once

#include <QScrollArea>

// Holds a panel of fixed-size fields. When the window is narrower or lower than the panel needs
// (a tile among many), a scroll bar shows and the fields keep their size, rather than being
// pushed over each other or cut off out of reach. Moving the keyboard focus to a field out of
// view scrolls it into view. While the panel fits, no scroll bar shows and the holder takes the
// panel's own size.
class ScrolledPanel : public QScrollArea
{
    Q_OBJECT

public:
    // A row of fields scrolls across (the holder grows by the scroll bar's height when it shows),
    // a column of figures scrolls down (the holder widens by the scroll bar's width when it
    // shows, so that no figure is cut), or a block of fields scrolls either way.
    enum class Scroll { Across, Down, Both };
    ScrolledPanel(QWidget *panel, Scroll scroll, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The size the panel needs to show every field whole.
    QSize panelSize() const;
    // Whether the scroll bar across (down) shows at the holder's present size.
    bool scrollsAcross() const;
    bool scrollsDown() const;
    // The holder's limits again, after the holder or the panel changed size.
    void fit();

    Scroll m_scroll;
    QSize m_fitted; // the size fit() last asked the layout for
};
