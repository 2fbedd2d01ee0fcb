#include "widgets/WindowParts.h"

#include "base/GuardedCall.h"
#include "base/Notices.h"
#include "base/TessiroError.h"
#include "project/AppContext.h"
#include "project/ProjectLock.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

namespace {

class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QWidget *line) : QAccessibleWidget(line, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<const QLabel *>(widget())->text() : QAccessibleWidget::text(t);
    }
    // Empty, it is left out rather than read as a notification without a name.
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (static_cast<const QLabel *>(widget())->text().isEmpty())
            s.invisible = true;
        return s;
    }
};

QAccessibleInterface *statusLineInterface(const QString &, QObject *object)
{
    auto *line = dynamic_cast<StatusLine *>(object);
    return line ? new StatusLineAccessible(line) : nullptr;
}

} // namespace

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

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(statusLineInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setWordWrap(true);
}

void StatusLine::say(const QString &text)
{
    setText(text);
    if (text.isEmpty())
        return;
    // A notification that shows up is read out at once (Qt 6.4 has no other way
    // to ask for that), wherever the focus is.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
