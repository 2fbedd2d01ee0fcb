#include "translate/TableWindow.h"

#include "base/GuardedCall.h"
#include "project/ProjectLock.h"
#include "translate/Messages.h"
#include "widgets/AppContext.h"
#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace {

// Shows texts once window is up, so that they sit in front of it.
void showNoticesOnceShown(QWidget *window, Notices &notices, const QStringList &texts)
{
    if (!texts.isEmpty())
        QTimer::singleShot(0, window, [&notices, texts] {
            for (const QString &text : texts)
                notices.notice(text);
        });
}

// Runs write for the open project under its write lock. No project open, a busy
// project or a failed write is shown and leaves the window open.
void writeIntoProject(AppContext &ctx, const std::function<void(const ProjectState &project)> &write)
{
    guardedCall(ctx.notices, [&] {
        const ProjectState &project = ctx.project();
        if (!project.hasValidProject())
            throw TessiroError(TranslateMessages::NoProjectOpen);
        const ProjectWriteLock lock(project.ProjectDir);
        write(project);
    });
}

QPushButton *stripButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TableDialog::TableDialog(AppContext &context, const TableWindowFrame &frame, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_frame(frame)
{
    setObjectName(frame.objectName);
    setWindowTitle(frame.caption);
    applyTessiroStyle(this);
    resize(frame.width, frame.height);
}

void TableDialog::placeContent(QWidget *content, const QList<QWidget *> &order)
{
    QHBoxLayout *buttonStrip = okCancelStrip(this, &m_ok, &m_cancel);
    m_export = stripButton(QStringLiteral("Export"), QStringLiteral("BtnExport"), this);
    m_import = stripButton(QStringLiteral("Import"), QStringLiteral("BtnImport"), this);
    if (m_frame.enter != TableEnterKey::Saves)
        m_ok->setDefault(false);
    if (m_frame.enter == TableEnterKey::BelongsToGrid)
        for (QPushButton *button : {m_ok, m_cancel, m_export, m_import})
            button->setAutoDefault(false);
    buttonStrip->addWidget(m_export);
    buttonStrip->addWidget(m_import);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(content, 1);
    layout->addLayout(buttonStrip);

    QList<QWidget *> chain = order;
    chain << m_ok << m_cancel << m_export << m_import;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connect(m_ok, &QPushButton::clicked, this, &TableDialog::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_export, &QPushButton::clicked, this, &TableDialog::ExportClick);
    connect(m_import, &QPushButton::clicked, this, &TableDialog::ImportClick);
}

void TableDialog::showEvent(QShowEvent *event)
{
    if (m_frame.givenSizeOnShow)
        applyGivenSizeOnce(this, m_frame.width, m_frame.height, m_sized);
    // A window coming back from the task bar keeps what is being typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TableDialog::FormShow()
{
    const QStringList problems = projectTable().open(m_ctx.project().ProjectFiles).problems;
    tableLoaded();
    showNoticesOnceShown(this, m_ctx.notices, problems);
}

void TableDialog::BitBtn1Click()
{
    commitEdits();
    writeIntoProject(m_ctx, [this](const ProjectState &project) {
        projectTable().save(project.ProjectFiles);
        accept();
    });
}

void TableDialog::ExportClick()
{
    commitEdits();
    writeIntoProject(m_ctx, [this](const ProjectState &project) { projectTable().exportFiles(project.ProjectFiles); });
}

// Asks for the workbook, starting in the project folder, and unless the user
// cancels imports it, then shows the import's notices. A failure is shown and
// leaves the window as the import left it.
void TableDialog::ImportClick()
{
    commitEdits();
    guardedCall(m_ctx.notices, [this] {
        const QString workbook = m_ctx.chooser.openFile({.title = TranslateMessages::OpenExcelTitle,
                                                         .filter = TranslateMessages::OpenExcelFilter,
                                                         .defaultSuffix = {},
                                                         .initialDir = m_ctx.project().ProjectDir});
        if (workbook.isEmpty())
            return;
        const ImportOutcome outcome = projectTable().importFrom(workbook);
        if (outcome.cleared)
            tableReplaced();
        for (const QString &notice : outcome.notices)
            m_ctx.notices.notice(notice);
    });
}
