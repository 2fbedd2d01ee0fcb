#pragma once

#include <QDialog>
#include <optional>

class Notices;
class ProjectStore;
class QLabel;
class QLineEdit;
class QPushButton;

// The name dialog: names a new project, or edits one line of text for a caller.
class TFsaveproj : public QDialog {
    Q_OBJECT
public:
    TFsaveproj(ProjectStore &store, Notices &notices, QWidget *parent = nullptr);

    // New project inside parent; true when one was created and is now the current project.
    bool askNewProject(const QString &parent);
    // Edits text (of any length); the edited text on OK, nothing on Cancel.
    std::optional<QString> editText(const QString &text);

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void BitBtn1Click();
    void BitBtn2Click();

private:
    enum class Mode { NewProject, EditText };

    void FormShow();

    ProjectStore &m_store;
    Notices &m_notices;
    Mode m_mode = Mode::NewProject;
    QString NewProjectParent;
    // The name as typed by the user.
    QString NewProjectName;
    bool NameDialogMayClose = true;
    QLabel *m_label;
    QLineEdit *m_edit;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
