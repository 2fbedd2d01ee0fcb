#pragma once

#include "translate/ProjectTable.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

struct AppContext;
class StatusLine;
class QPushButton;
class QTabWidget;

struct TableWindowFrame {
    QString objectName;
    QString caption;
    int width = 0;
    int height = 0;
    // Whether the first show sets the given size again, the frame counted in.
    bool givenSizeOnShow = true;
};

// The window of one project table: its content over the OK, Cancel, Export and
// Import strip and a status line. Every show that is not a return from the task
// bar loads the table from the project anew; OK saves it and closes, Export
// writes its CSV file, Import fills it from a workbook.
//
// Keys: Enter presses the focused button and nothing else, so a value being typed
// is never saved and closed without a word; Ctrl+Enter is OK, Escape Cancel,
// Ctrl+PageDown / Ctrl+PageUp change the tab, F1 asks for help.
class TableDialog : public QDialog {
    Q_OBJECT
public:
    // The status line under the content: the last export, or why a button did nothing.
    QString statusText() const;

signals:
    // F1: the program shows its help window.
    void helpRequested();

protected:
    TableDialog(AppContext &context, const TableWindowFrame &frame, QWidget *parent);

    virtual ProjectTable &projectTable() = 0;
    // Shows the table just loaded; the window's own controls are not touched by the load.
    virtual void tableLoaded() = 0;
    // After an import that replaced what the table held.
    virtual void tableReplaced() {}
    // Before the table is saved, exported or imported into: what is being typed goes in.
    virtual void commitEdits() {}

    // Puts the cursor on the value that fault names; the window shows the message.
    virtual void showFault(const TableFault &fault) { Q_UNUSED(fault); }
    // The caption of a tab whose fields hold values that New or Modify has not
    // stored, the cursor put in the first of them; none when OK would lose nothing typed.
    virtual std::optional<QString> unstoredFields() { return std::nullopt; }

    // Places content over the strip; the tab order runs through order, then the strip.
    // Content that is a tab widget gets Ctrl+PageDown / Ctrl+PageUp.
    void placeContent(QWidget *content, const QList<QWidget *> &order);
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    void setStatus(const QString &text);
    // The status line's hint for a button that needs a selection; what names it.
    void hintSelection(const QString &button, const QString &what, const QString &tab);
    // Shows page step pages on (wrapping round) and puts the focus in it.
    void turnPage(int step);
    // The control that takes the focus when page index is turned to; by default
    // the page's first control in the tab order.
    virtual QWidget *pageFocus(int index) const;

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    AppContext &m_ctx;

private slots:
    void BitBtn1Click();
    void ExportClick();
    void ImportClick();

private:
    void FormShow();

    const TableWindowFrame m_frame;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_import = nullptr;
    QTabWidget *m_pages = nullptr;
    StatusLine *m_status = nullptr;
    bool m_sized = false;
};
