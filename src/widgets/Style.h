#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>

class QHBoxLayout;
class QPushButton;
class QWidget;

// The house colours.
namespace HouseColour {
inline const QColor Cream(0xF8, 0xF7, 0xED);
inline const QColor Ink(0x33, 0x33, 0x33);
inline const QColor Highlight(0xA6, 0xCA, 0xF0);
// Faces of buttons, tabs, headers and row numbers.
inline const QColor Face(0xEC, 0xEA, 0xDC);
// Text of disabled controls.
inline const QColor Faded(0x8C, 0x8C, 0x8C);
} // namespace HouseColour

// Every colour role the house look draws with, built from the house colours alone,
// so that a dark desktop theme never pairs its own dark faces with the house's
// dark text.
QPalette tessiroPalette();

// The house look: cream background, dark grey Verdana 8 pt.
void applyTessiroStyle(QWidget *window);

// A window's given size counts its frame, as the windows were drawn; applied at the first
// showing only (when the frame is known), so later showings keep what the user made of it.
// sized remembers that it was done.
void applyGivenSizeOnce(QWidget *window, int width, int height, bool &sized);

// The dialogs' "OK" (BitBtn1, the default button) and "Cancel" (BitBtn2), right-aligned in a strip.
QHBoxLayout *okCancelStrip(QWidget *dialog, QPushButton **ok, QPushButton **cancel);

// A label that acts like a link: hand cursor, focusable, Enter or Space clicks it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
