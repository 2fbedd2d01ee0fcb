#pragma once

#include <QDialog>

struct AppContext;
class QTextBrowser;

// "Help": the help file shipped with the program, read-only rich text. It does not
// hold up the main window, so it can stay open beside it.
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
