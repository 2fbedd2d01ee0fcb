#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "project/ProjectStore.h"
#include "shell/QtSeams.h"
#include "shell/UTessiroFirmWare.h"
#include "widgets/AppContext.h"

#include <QApplication>

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

    TFTessiroFirmWare mainWindow(context, QApplication::applicationDirPath());
    mainWindow.show();
    return app.exec();
}
