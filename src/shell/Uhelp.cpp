#include "shell/Uhelp.h"

#include "project/AppContext.h"
#include "shell/HelpFile.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QShowEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

TFHelp::TFHelp(AppContext &context, QWidget *parent) : QDialog(nullptr), m_ctx(context)
{
    // A window of its own, not a child of parent: an editor holding up its parent
    // would hold up the help too. It goes with parent all the same.
    if (parent)
        connect(parent, &QObject::destroyed, this, [this] { delete this; });
    setObjectName(QStringLiteral("TFHelp"));
    setWindowTitle(QStringLiteral("Help"));
    applyTessiroStyle(this);
    resize(640, 560);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("Help"));
    // Links point at web pages; the box shows only the help file.
    m_text->setOpenLinks(false);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

void TFHelp::showHelp()
{
    show();
    raise();
    activateWindow();
}

void TFHelp::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFHelp::FormShow()
{
    const Loaded<QString> help = loadHelpText(m_ctx.project().AppDir);
    m_text->setHtml(help.value);
    m_text->setFocus();
    showOnceShown(this, m_ctx.notices, &Notices::notice, help.problems);
}
