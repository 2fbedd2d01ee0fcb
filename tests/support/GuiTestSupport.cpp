#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTest>
#include <QTimer>

namespace {

void poll(std::function<void(QWidget *)> action, QWidget *previous, QDeadlineTimer deadline)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != previous && modal->isVisible()) {
        action(modal);
        return;
    }
    if (deadline.hasExpired())
        qFatal("no modal window opened");
    QTimer::singleShot(10, [action, previous, deadline] { poll(action, previous, deadline); });
}

} // namespace

void whenModalOpens(std::function<void(QWidget *modal)> action, int timeoutMs)
{
    QWidget *current = QApplication::activeModalWidget();
    QTimer::singleShot(0, [action, current, timeoutMs] { poll(action, current, QDeadlineTimer(timeoutMs)); });
}

void closeModal(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

ProjectTestContext::ProjectTestContext()
{
    store.startUp(folder.path());
    QCOMPARE(store.createProject(store.state().ProjectsDir, QStringLiteral("P")), QStringList());
}

void showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCoreApplication::processEvents();
}
