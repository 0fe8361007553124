#include "app/zastavka_form.h"

#include <QKeyEvent>

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zelvan {

namespace {

QLabel* boldLabel(const QString& text, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

void centreOnScreen(QWidget* widget) {
    widget->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
    }
}

}  // namespace

TZastavka_Form::TZastavka_Form(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Zastavka_Form"));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(3);

    const QColor navy(0, 0, 128);
    const QColor maroon(128, 0, 0);
    auto* content = new QVBoxLayout(frame);
    content->setContentsMargins(24, 18, 24, 12);
    content->addWidget(boldLabel(QStringLiteral(" Інформаційно-комп'ютерна система аналізу "), navy, frame));
    content->addWidget(boldLabel(QStringLiteral("фінансово- господарської діяльності підприємств \"Зелван\""), navy, frame));
    content->addSpacing(18);
    content->addWidget(boldLabel(QStringLiteral("ПРОГРАМНИЙ МОДУЛЬ"), maroon, frame));
    content->addWidget(boldLabel(QStringLiteral("ПІДГОТОВКИ ТА ПЕРЕДАЧІ ІНФОРМАЦІЇЇ "), maroon, frame));
    content->addWidget(boldLabel(QStringLiteral("НА МАШИННИХ НОСІЯХ"), maroon, frame));
    content->addSpacing(18);

    auto* bottom = new QHBoxLayout;
    auto* version = new QLabel(QStringLiteral("Версія 6.5"), frame);
    version->setObjectName(QStringLiteral("Label_Version"));
    auto* ok = new QPushButton(QStringLiteral("ОК"), frame);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    bottom->addWidget(version, 0, Qt::AlignLeft | Qt::AlignBottom);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addStretch();
    content->addLayout(bottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    centreOnScreen(this);
}

TWaitForm::TWaitForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("WaitForm"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 0));
    setPalette(palette);
    auto* label = boldLabel(QStringLiteral("ЗАЧЕКАЙТЕ ..."), QColor(255, 255, 0), this);
    QFont font = label->font();
    font.setPointSize(18);
    label->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->addWidget(label);
    centreOnScreen(this);
}

void TWaitForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit closed();
}

void TWaitForm::keyPressEvent(QKeyEvent* event) {
    // Waiting for an answer that may never come must not hold the program forever.
    if (event->key() == Qt::Key_Escape) close();
    else QWidget::keyPressEvent(event);
}

}  // namespace zelvan
