#include "project/Unewp.h"

#include "base/Notices.h"
#include "project/ProjectStore.h"
#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

void TFsaveproj::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFsaveproj::FormShow()
{
    if (NameDialogMode == 0) {
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
    if (NameDialogMode == 0) {
        NewProjectName = m_edit->text();
        QStringList messages;
        NameDialogMayClose = m_store.createProject(NewProjectParent, NewProjectName, &messages);
        for (const QString &message : messages)
            m_notices.notice(message);
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
