#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "shell/QtSeams.h"
#include "shell/UTessiroFirmWare.h"

#include <QApplication>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// Last line of defence: a failure no handler caught is shown, never thrown into the event loop.
class TessiroApplication : public QApplication {
public:
    using QApplication::QApplication;
    Notices *notices = nullptr;

    bool notify(QObject *receiver, QEvent *event) override
    {
        bool result = false;
        if (!notices)
            return QApplication::notify(receiver, event);
        guardedCall(*notices, [&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};

#ifdef Q_OS_UNIX
int signalSockets[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[1], &byte, 1);
}

// SIGTERM (a session ending, kill) and SIGINT close the windows as "X" does, so the
// last project is written; the handler only wakes the event loop.
void closeWindowsOnTermination(QApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(signalSockets[0], &byte, 1);
        QApplication::closeAllWindows();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    TessiroApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    QApplication::setApplicationVersion(QStringLiteral(TESSIRO_VERSION));

    QtNotices notices;
    QtFileChooser chooser;
    QtProcessLauncher launcher;
    ProjectStore store;
    AppContext context{notices, chooser, launcher, store};
    app.notices = &notices;
#ifdef Q_OS_UNIX
    closeWindowsOnTermination(app);
#endif

    TFTessiroFirmWare mainWindow(context, QApplication::applicationDirPath());
    mainWindow.show();
    return app.exec();
}
