#include "app/About.h"
#include "platform/ui/Ui.h"
#include "app/uMain.h"

#include "common/StartValues.h"
#include "common/uCommon.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

QPixmap ProductPicture(int size)
{
    QPixmap pm(size, size);
    pm.fill(QColor(0xF4, 0xF1, 0xE8));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    // A small wren on a payslip.
    p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 1.5 * s));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8 * s, 36 * s, 48 * s, 20 * s));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(12 * s, (42 + 5 * i) * s), QPointF(52 * s, (42 + 5 * i) * s));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8B, 0x5A, 0x2B));
    p.drawEllipse(QRectF(18 * s, 14 * s, 26 * s, 20 * s));
    p.drawEllipse(QRectF(38 * s, 10 * s, 12 * s, 12 * s));
    QPainterPath tail;
    tail.moveTo(20 * s, 22 * s);
    tail.lineTo(10 * s, 6 * s);
    tail.lineTo(16 * s, 6 * s);
    tail.lineTo(26 * s, 18 * s);
    p.drawPath(tail);
    p.setBrush(QColor(0xE0, 0xA0, 0x30));
    QPainterPath beak;
    beak.moveTo(49 * s, 15 * s);
    beak.lineTo(56 * s, 17 * s);
    beak.lineTo(49 * s, 19 * s);
    p.drawPath(beak);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(44 * s, 13 * s, 2.5 * s, 2.5 * s));
    return pm;
}

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent)
{
    const StartValues& sv = startValues();
    const QString title = sv.brand + kProductName;
    setWindowTitle(title);

    Image1 = new QLabel(this);
    Image1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image1->setPixmap(ProductPicture(96));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    Label1 = new QLabel(title, this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label1->setFont(big);
    Label2 = new QLabel(QStringLiteral("版本：1.3"), this);
    Label3 = new QLabel(kRightsPrefix + sv.makerName, this);
    Label4 = new QLabel(QStringLiteral("网址："), this);
    Label5 = new QLabel(sv.homePage, this);
    Label5->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("确认(&E)"), this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1, 1, 2);
    grid->addWidget(Label2, 1, 1, 1, 2);
    grid->addWidget(Label3, 2, 1, 1, 2);
    grid->addWidget(Label4, 3, 1);
    grid->addWidget(Label5, 3, 2);
    grid->setColumnStretch(2, 1);
    grid->addWidget(Button1, 4, 0, 1, 3, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Label5 || watched == Image1) && event->type() == QEvent::MouseButtonRelease) {
        if (!OpenInBrowser(startValues().homePage))
            ui::ShowError(CannotOpenMessage(startValues().homePage));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowAbout(QWidget* parent)
{
    // Esc closes the box like its button: a QDialog's reject is the cancel action.
    TfrmAbout box(parent);
    box.exec();
}
