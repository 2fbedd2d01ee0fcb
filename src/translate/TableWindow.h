#pragma once

#include "translate/ProjectTable.h"

#include <QDialog>
#include <QList>
#include <QString>

struct AppContext;
class QPushButton;

// What Enter does in a table window.
enum class TableEnterKey {
    // Presses OK: saves and closes.
    Saves,
    // Presses the focused button only; a field's Enter must not save and close.
    PressesFocusedButton,
    // Belongs to the grid; no button of the strip takes it.
    BelongsToGrid,
};

struct TableWindowFrame {
    QString objectName;
    QString caption;
    int width = 0;
    int height = 0;
    // Whether the first show sets the given size again, the frame counted in.
    bool givenSizeOnShow = true;
    TableEnterKey enter = TableEnterKey::Saves;
};

// The window of one project table: its content over the OK, Cancel, Export and
// Import strip. Every show that is not a return from the task bar loads the table
// from the project anew; OK saves it and closes, Export writes its CSV file,
// Import fills it from a workbook.
class TableDialog : public QDialog {
    Q_OBJECT
protected:
    TableDialog(AppContext &context, const TableWindowFrame &frame, QWidget *parent);

    virtual ProjectTable &projectTable() = 0;
    // Shows the table just loaded; the window's own controls are not touched by the load.
    virtual void tableLoaded() = 0;
    // After an import that replaced what the table held.
    virtual void tableReplaced() {}
    // Before the table is saved, exported or imported into: what is being typed goes in.
    virtual void commitEdits() {}

    // Places content over the strip; the tab order runs through order, then the strip.
    void placeContent(QWidget *content, const QList<QWidget *> &order);
    QPushButton *okButton() const { return m_ok; }

    void showEvent(QShowEvent *event) override;

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
    bool m_sized = false;
};
