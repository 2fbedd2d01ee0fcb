// Preloaded (LD_PRELOAD) into the program under test, so that the real binary is
// measured unchanged: when its first window has been painted, prints the wall clock
// in microseconds and the resident set in kB, then ends the process at once.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            m_seen = true;
            // Reported once this paint and the rest of its event-loop turn are done.
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("%lld %ld\n", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                            residentKb());
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installProbe()
{
    qApp->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
