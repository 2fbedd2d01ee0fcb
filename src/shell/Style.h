#pragma once

#include <QLabel>

class QWidget;

// The house look: cream background, dark grey Verdana 8 pt.
void applyTessiroStyle(QWidget *window);

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
