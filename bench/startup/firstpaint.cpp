// Preloaded (LD_PRELOAD) into the program under test, so that the real binary is
// measured unchanged: when its first window has been painted, prints the wall clock
// in microseconds, the resident set in kB and the CPU time used so far in microseconds
// (steadier than the wall clock on a busy machine), then ends the process at once.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>
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
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                const auto micros = [](const timeval &t) {
                    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec;
                };
                std::printf("%lld %ld %lld\n", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                            residentKb(), micros(usage.ru_utime) + micros(usage.ru_stime));
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
