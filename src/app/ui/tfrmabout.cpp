#include "app/ui/tfrmabout.h"

#include "base/version.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("About Audexa For Sound Level Meter"));
    setWindowIcon(QIcon(QStringLiteral(":/APPICON")));

    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/APPICON")).pixmap(72, 72));
    icon->setAlignment(Qt::AlignCenter);

    auto *title = new QLabel(QStringLiteral("Sound Level Meter Software"), this);
    QFont titleFont(QStringLiteral("Arial"), 16);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: blue;"));
    title->setAlignment(Qt::AlignCenter);

    Label2 = new QLabel(QStringLiteral("Version: ") + QLatin1String(AudexaVersion), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);

    auto *model = new QLabel(QStringLiteral("Audexa for the Q7316 sound level meter"), this);
    model->setAlignment(Qt::AlignCenter);

    // The status line is the splash screen's ("Loading..."); Help > About leaves it empty.
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignCenter);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(10);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(model);
    layout->addWidget(Label2);
    layout->addWidget(Label4);
    layout->addWidget(OKButton, 0, Qt::AlignCenter);
    // Wide enough for the whole caption, as window managers write it (in bold), beside the title
    // bar's buttons.
    QFont captionFont = font();
    captionFont.setBold(true);
    const QString caption = windowTitle();
    const int captionWidth = QFontMetrics(captionFont).horizontalAdvance(caption) + 120;
    setFixedSize(sizeHint().expandedTo(QSize(std::max(380, captionWidth), 0)));
}

void TfrmAbout::setStatusText(const QString &text)
{
    Label4->setText(text);
}

void TfrmAbout::hideOkButton()
{
    OKButton->hide();
}
