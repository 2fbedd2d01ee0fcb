#pragma once

#include <QDialog>

struct AppContext;
class QTextBrowser;

// "Help": the help file shipped with the program, read-only rich text. It holds up
// no window, and no editor holds it up, so it can stay open beside any of them.
class TFHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFHelp(AppContext &context, QWidget *parent = nullptr);

    // Shows the window (reading the file again when it was closed) and brings it to the front.
    void showHelp();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    AppContext &m_ctx;
    QTextBrowser *m_text;
};
