#include "widgets/Unewp.h"

#include "base/Notices.h"
#include "project/ProjectStore.h"
#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <limits>

TFsaveproj::TFsaveproj(ProjectStore &store, Notices &notices, QWidget *parent)
    : QDialog(parent), m_store(store), m_notices(notices)
{
    setObjectName(QStringLiteral("TFsaveproj"));
    setWindowTitle(QStringLiteral("New project"));
    applyTessiroStyle(this);
    resize(300, 110);

    m_label = new QLabel(QStringLiteral("Project name"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_label->setBuddy(m_edit);
    QHBoxLayout *buttons = okCancelStrip(this, &m_ok, &m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &TFsaveproj::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &TFsaveproj::BitBtn2Click);
}

bool TFsaveproj::askNewProject(const QString &parent)
{
    m_mode = Mode::NewProject;
    NewProjectParent = parent;
    return exec() == QDialog::Accepted;
}

std::optional<QString> TFsaveproj::editText(const QString &text)
{
    m_mode = Mode::EditText;
    // The line edit cuts texts at 32767 characters; a long element text must survive OK.
    const int maxLength = m_edit->maxLength();
    const auto restore = qScopeGuard([this, maxLength] { m_edit->setMaxLength(maxLength); });
    m_edit->setMaxLength(std::numeric_limits<int>::max());
    m_edit->setText(text);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return m_edit->text();
}

void TFsaveproj::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFsaveproj::FormShow()
{
    if (m_mode == Mode::NewProject) {
        setWindowTitle(QStringLiteral("New project"));
        m_edit->clear();
        NewProjectName.clear();
        m_label->show();
    } else {
        setWindowTitle(QStringLiteral("Edit XML"));
        m_label->hide();
    }
    m_edit->setFocus();
}

void TFsaveproj::BitBtn1Click()
{
    NameDialogMayClose = true;
    if (m_mode == Mode::NewProject) {
        NewProjectName = m_edit->text();
        const QStringList refusals = m_store.createProject(NewProjectParent, NewProjectName);
        NameDialogMayClose = refusals.isEmpty();
        for (const QString &refusal : refusals)
            m_notices.notice(refusal);
    }
    done(QDialog::Accepted);
}

void TFsaveproj::BitBtn2Click()
{
    reject();
}

void TFsaveproj::reject()
{
    NameDialogMayClose = true;
    QDialog::reject();
}

void TFsaveproj::done(int result)
{
    // Stays open with its content while the name is refused.
    if (NameDialogMayClose)
        QDialog::done(result);
}
