#pragma once

#include <QDialog>

class Notices;
class ProjectStore;
class QLabel;
class QLineEdit;
class QPushButton;

// The name dialog: names a new project (mode 0) or edits one line of text for a caller (mode 1).
class TFsaveproj : public QDialog {
    Q_OBJECT
public:
    TFsaveproj(ProjectStore &store, Notices &notices, QWidget *parent = nullptr);

    // Set by the caller before each showing.
    int NameDialogMode = 0;
    QString NewProjectParent;
    // The name as typed by the user.
    QString NewProjectName;
    bool NameDialogMayClose = true;

    QLineEdit *edit() const { return m_edit; }

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void FormShow();

    ProjectStore &m_store;
    Notices &m_notices;
    QLabel *m_label;
    QLineEdit *m_edit;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
