#include "project/IniFile.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestProjectStore : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(TestProjectStore)
#include "tst_ProjectStore.moc"
