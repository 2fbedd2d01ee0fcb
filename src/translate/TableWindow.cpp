#include "translate/TableWindow.h"

#include "base/GuardedCall.h"
#include "project/AppContext.h"
#include "project/ProjectLock.h"
#include "translate/Messages.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

namespace {

// "Export wrote "a"." or "Export wrote "a" and "b"."
QString writtenFiles(const QStringList &paths)
{
    QStringList quoted;
    for (const QString &path : paths)
        quoted << QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
    const QString last = quoted.takeLast();
    return TranslateMessages::ExportWrote.arg(
        quoted.isEmpty() ? last : quoted.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
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
    // Holds up its own parent only, so that the help window stays usable beside it.
    setWindowModality(Qt::WindowModal);

    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TableDialog::helpRequested);
    for (const auto &[keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                     std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto *page = new QShortcut(keys, this);
        connect(page, &QShortcut::activated, this, [this, step = step] { turnPage(step); });
    }
}

QString TableDialog::statusText() const
{
    return m_status ? m_status->text() : QString();
}

void TableDialog::setStatus(const QString &text)
{
    m_status->say(text);
}

void TableDialog::hintSelection(const QString &button, const QString &what, const QString &tab)
{
    setStatus(TranslateMessages::NeedsSelection.arg(button, what, tab));
}

void TableDialog::turnPage(int step)
{
    if (!m_pages || m_pages->count() < 2)
        return;
    commitEdits();
    const int pages = m_pages->count();
    m_pages->setCurrentIndex(((m_pages->currentIndex() + step) % pages + pages) % pages);
    QWidget *focus = pageFocus(m_pages->currentIndex());
    (focus ? focus : m_pages)->setFocus(Qt::TabFocusReason);
}

QWidget *TableDialog::pageFocus(int index) const
{
    QWidget *page = m_pages->widget(index);
    for (QWidget *w = m_pages->nextInFocusChain(); w && w != m_pages; w = w->nextInFocusChain())
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled())
            return w;
    return nullptr;
}

void TableDialog::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        m_ok->click();
    } else if (auto *button = qobject_cast<QPushButton *>(focusWidget())) {
        button->click();
    }
    // Enter in a field stays there: no default button saves what is half typed.
    event->accept();
}

void TableDialog::placeContent(QWidget *content, const QList<QWidget *> &order)
{
    QHBoxLayout *buttonStrip = okCancelStrip(this, &m_ok, &m_cancel);
    m_export = stripButton(QStringLiteral("Export"), QStringLiteral("BtnExport"), this);
    m_import = stripButton(QStringLiteral("Import"), QStringLiteral("BtnImport"), this);
    // No default button: keyPressEvent gives Enter to the focused button alone.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
    buttonStrip->addWidget(m_export);
    buttonStrip->addWidget(m_import);
    m_pages = qobject_cast<QTabWidget *>(content);

    m_status = new StatusLine(this);
    m_status->setObjectName(QStringLiteral("LabelStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(content, 1);
    layout->addWidget(m_status);
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
    if (m_status)
        m_status->clear();
    const QStringList problems = projectTable().open(m_ctx.project().ProjectFiles).problems;
    tableLoaded();
    showOnceShown(this, m_ctx.notices, &Notices::notice, problems);
}

void TableDialog::BitBtn1Click()
{
    commitEdits();
    if (const std::optional<TableFault> fault = projectTable().saveFault()) {
        // The value is in view, with the cursor on it, when the message shows.
        showFault(*fault);
        m_ctx.notices.notice(fault->message);
        return;
    }
    if (const std::optional<QString> tab = unstoredFields())
        if (!m_ctx.notices.confirm(TranslateMessages::UnstoredFields.arg(*tab)))
            return;
    writeIntoProject(m_ctx, TranslateMessages::NoProjectOpen, [this](const ProjectState &project) {
        projectTable().save(project.ProjectFiles);
        accept();
    });
}

void TableDialog::ExportClick()
{
    commitEdits();
    setStatus({});
    writeIntoProject(m_ctx, TranslateMessages::NoProjectOpen, [this](const ProjectState &project) {
        setStatus(writtenFiles(projectTable().exportFiles(project.ProjectFiles)));
    });
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
