#include "widgets/WindowParts.h"

#include "base/GuardedCall.h"
#include "base/Notices.h"
#include "base/TessiroError.h"
#include "project/AppContext.h"
#include "project/ProjectLock.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

void showOnceShown(QWidget *window, Notices &notices, void (Notices::*show)(const QString &), const QStringList &texts)
{
    if (!texts.isEmpty())
        QTimer::singleShot(0, window, [&notices, show, texts] {
            for (const QString &text : texts)
                (notices.*show)(text);
        });
}

void writeIntoProject(AppContext &ctx, const QString &noProject,
                      const std::function<void(const ProjectState &project)> &write)
{
    guardedCall(ctx.notices, [&] {
        const ProjectState &project = ctx.project();
        if (!project.hasValidProject())
            throw TessiroError(noProject);
        const ProjectWriteLock lock(project.ProjectDir);
        write(project);
    });
}

ListPick::ListPick(QListWidget *list, std::function<void()> picked)
    : QObject(list), m_list(list), m_picked(std::move(picked))
{
    list->viewport()->installEventFilter(this);
    QObject::connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !m_pressed)
            m_picked();
    });
}

bool ListPick::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressed = true;
    } else if (event->type() == QEvent::MouseButtonRelease && m_pressed) {
        m_pressed = false;
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (m_list->itemAt(at) && m_list->currentRow() >= 0)
            m_picked();
    }
    return QObject::eventFilter(watched, event);
}
