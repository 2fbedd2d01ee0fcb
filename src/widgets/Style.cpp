#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

QPalette tessiroPalette()
{
    using namespace HouseColour;
    const QColor white(Qt::white);
    // QPalette's own constructor derives Light, Midlight, Mid, Dark and Shadow from the face.
    QPalette palette(Ink, Face, Face.lighter(115), Face.darker(160), Face.darker(125), Ink, white, white, Cream);
    palette.setColor(QPalette::AlternateBase, Cream);
    palette.setColor(QPalette::Highlight, Highlight);
    palette.setColor(QPalette::HighlightedText, Ink);
    palette.setColor(QPalette::ToolTipBase, white);
    palette.setColor(QPalette::ToolTipText, Ink);
    palette.setColor(QPalette::PlaceholderText, Faded);
    palette.setColor(QPalette::Link, QColor(0x1A, 0x4F, 0x9C));
    palette.setColor(QPalette::LinkVisited, QColor(0x5A, 0x3D, 0x8A));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, Faded);
    palette.setColor(QPalette::Disabled, QPalette::Base, Cream);
    return palette;
}

void applyTessiroStyle(QWidget *window)
{
    window->setPalette(tessiroPalette());
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
