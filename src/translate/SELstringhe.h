#pragma once

#include "base/TextGridModel.h"

#include <QDialog>

struct AppContext;
class QLabel;
class QPushButton;
class QTableView;

// "Select String": the strings of the project's strings.xml in a grid of 1000
// numbered rows; the row last selected is kept for the whole run and is where the
// cursor stands at the next opening.
class TFSELstringhe : public QDialog {
    Q_OBJECT
public:
    explicit TFSELstringhe(AppContext &context, QWidget *parent = nullptr);

    // The number of the row last selected; 0 until one is.
    int selectedIndex() const { return m_selectedIndex; }

signals:
    // F1: the program shows its help window.
    void helpRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormShow();
    void sgSelectCell(int row);
    void sizeColumns();

    AppContext &m_ctx;
    TextGridModel m_strings;
    QTableView *m_grid;
    QLabel *m_label;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    int m_selectedIndex = 0;
};
