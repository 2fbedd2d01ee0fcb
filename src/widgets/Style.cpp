#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

void applyTessiroStyle(QWidget *window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, HouseColour::Cream);
    palette.setColor(QPalette::WindowText, HouseColour::Ink);
    palette.setColor(QPalette::ButtonText, HouseColour::Ink);
    palette.setColor(QPalette::Text, HouseColour::Ink);
    palette.setColor(QPalette::Base, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    window->setFont(font);
}

QHBoxLayout *okCancelStrip(QWidget *dialog, QPushButton **ok, QPushButton **cancel)
{
    *ok = new QPushButton(QStringLiteral("OK"), dialog);
    (*ok)->setObjectName(QStringLiteral("BitBtn1"));
    (*ok)->setDefault(true);
    *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    (*cancel)->setObjectName(QStringLiteral("BitBtn2"));
    auto *strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(*ok);
    strip->addWidget(*cancel);
    return strip;
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void applyGivenSizeOnce(QWidget *window, int width, int height, bool &sized)
{
    if (sized || !window->windowHandle())
        return;
    sized = true;
    const QMargins frame = window->windowHandle()->frameMargins();
    window->resize(width - frame.left() - frame.right(), height - frame.top() - frame.bottom());
}
