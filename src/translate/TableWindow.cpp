#include "translate/TableWindow.h"

#include "base/GuardedCall.h"
#include "project/ProjectLock.h"
#include "translate/Messages.h"
#include "widgets/AppContext.h"

#include <QTimer>
#include <QWidget>

void showNoticesOnceShown(QWidget *window, Notices &notices, const QStringList &texts)
{
    if (!texts.isEmpty())
        QTimer::singleShot(0, window, [&notices, texts] {
            for (const QString &text : texts)
                notices.notice(text);
        });
}

void importChosenWorkbook(AppContext &ctx, const std::function<ImportOutcome(const QString &workbook)> &import)
{
    guardedCall(ctx.notices, [&] {
        const QString workbook = ctx.chooser.openFile({.title = TranslateMessages::OpenExcelTitle,
                                                       .filter = TranslateMessages::OpenExcelFilter,
                                                       .defaultSuffix = {},
                                                       .initialDir = ctx.project().ProjectDir});
        if (workbook.isEmpty())
            return;
        const ImportOutcome outcome = import(workbook);
        for (const QString &notice : outcome.notices)
            ctx.notices.notice(notice);
    });
}

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

void saveAndAccept(QDialog *window, AppContext &ctx, const ProjectTable &table)
{
    writeIntoProject(ctx, [&](const ProjectState &project) {
        table.save(project.ProjectFiles);
        window->accept();
    });
}

void exportIntoProject(AppContext &ctx, const ProjectTable &table)
{
    writeIntoProject(ctx, [&](const ProjectState &project) { table.exportCsv(project.ProjectFiles); });
}
