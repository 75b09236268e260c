// The reset dialog: the program picture, a status line and the hidden self-test memo.
#include "TResetForm.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace tavrin::app {
namespace {

constexpr int kWidth = 320;
constexpr int kPictureHeight = 180;

// The program picture: the name over a stylised burst on a dark panel.
QPixmap ProgramPicture() {
    QPixmap picture(kWidth, kPictureHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(18, 40, 72));
    sky.setColorAt(1, QColor(6, 14, 28));
    p.fillRect(picture.rect(), sky);
    QPainterPath burst;
    burst.moveTo(20, 140);
    for (int x = 20; x <= kWidth - 20; x += 4) {
        const double t = (x - 20) / double(kWidth - 40);
        const double envelope = t < 0.15 ? t / 0.15 : (t > 0.85 ? (1 - t) / 0.15 : 1.0);
        burst.lineTo(x, 140 - 40 * envelope - ((x / 4) % 2 ? 6 : 0) * envelope);
    }
    p.setPen(QPen(QColor(80, 200, 255), 2));
    p.drawPath(burst);
    QFont title = p.font();
    title.setPointSize(28);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 18, kWidth, 50), Qt::AlignCenter, "Tavrin");
    QFont sub = p.font();
    sub.setPointSize(10);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(170, 200, 230));
    p.drawText(QRect(0, 66, kWidth, 20), Qt::AlignCenter, "DECT Radio Communication Tester");
    return picture;
}

}  // namespace

TResetForm::TResetForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("ResetForm");
    setWindowTitle("Tavrin Reset");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramPicture());
    layout->addWidget(picture);
    StatusText = new QLabel("Please wait ...", this);
    StatusText->setAlignment(Qt::AlignCenter);
    StatusText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    StatusText->setAutoFillBackground(true);
    StatusText->setMinimumHeight(24);
    layout->addWidget(StatusText);
    TestStatusMemo = new QPlainTextEdit(this);
    TestStatusMemo->setReadOnly(true);
    TestStatusMemo->setVisible(false);
    layout->addWidget(TestStatusMemo);
    setFixedSize(kWidth, kPictureHeight + 24);
}

void TResetForm::setStatus(const QString& text, const QColor& colour) {
    StatusText->setText(text);
    QPalette palette = StatusText->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Window, Qt::black);
    StatusText->setPalette(palette);
}

void TResetForm::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
    }
    QWidget::showEvent(event);
}

void TResetForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onUserClose) onUserClose();
}

}  // namespace tavrin::app
