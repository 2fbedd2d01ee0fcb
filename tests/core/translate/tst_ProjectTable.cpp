#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/EmcyWordTable.h"
#include "translate/PdoTranslation.h"
#include "translate/SdoTranslation.h"
#include "translate/StoredPdoTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using TableFactory = std::function<std::unique_ptr<ProjectTable>()>;
Q_DECLARE_METATYPE(TableFactory)
Q_DECLARE_METATYPE(ReadState)

// How each table reports the way its own file was read: the state the CLI's
// export decides by, whatever the notice texts say.
class tst_ProjectTable : public QObject {
    Q_OBJECT

private slots:
    void readState_data()
    {
        QTest::addColumn<TableFactory>("factory");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ReadState>("state");
        const QList<std::pair<const char *, TableFactory>> tables = {
            {"rpdodef", [] { return std::make_unique<PdoTranslation>(); }},
            {"sdo", [] { return std::make_unique<SdoTranslation>(); }},
            {"sdopdo", [] { return std::make_unique<StoredPdoTable>(); }},
            {"emcydef", [] { return std::make_unique<EmcyTable>(); }},
            {"emcyword", [] { return std::make_unique<EmcyWordTable>(); }},
        };
        for (const auto &[name, factory] : tables) {
            QTest::addRow("%s missing", name) << factory << QByteArray() << ReadState::Missing;
            QTest::addRow("%s empty root", name) << factory << QByteArray("<root/>") << ReadState::Whole;
            QTest::addRow("%s broken xml", name) << factory << QByteArray("<root><row") << ReadState::Partly;
            QTest::addRow("%s row without attributes", name)
                << factory << QByteArray("<root><row/></root>") << ReadState::Partly;
        }
    }

    void readState()
    {
        QFETCH(TableFactory, factory);
        QFETCH(QByteArray, content);
        QFETCH(ReadState, state);
        QTemporaryDir dir;
        const ProjectFiles files = projectFiles(dir.path());
        std::unique_ptr<ProjectTable> table = factory();
        if (!content.isNull()) {
            QFile file(table->filePath(files));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const Loaded<TableRead> loaded = table->open(files);
        QCOMPARE(loaded.value.state, state);
        QCOMPARE(loaded.value.whole(), state != ReadState::Partly);
        QCOMPARE(loaded.value.entries, 0);
        // A fault is always shown.
        if (state == ReadState::Partly)
            QVERIFY(!loaded.problems.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ProjectTable)
#include "tst_ProjectTable.moc"
