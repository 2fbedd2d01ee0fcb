#include "image/ModifyFileSx.h"

#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "base/Paths.h"
#include "image/Messages.h"
#include "project/AppContext.h"
#include "project/ProgramFolders.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "widgets/Style.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <functional>

namespace {

// Orange while pressed, yellow on the "X" button, and the grey outlines are the window's own.
QString buttonStyle(const QString &hoverAndPressed)
{
    return QStringLiteral("QPushButton { background: %1; border: 1px solid rgb(160, 160, 160); color: %2; }"
                          "QPushButton:focus { border: 1px dotted %2; }")
               .arg(HouseColour::Cream.name(), HouseColour::Ink.name()) +
           hoverAndPressed;
}

QString executeStyle()
{
    return buttonStyle(QStringLiteral("QPushButton:hover { background: %1; }"
                                      "QPushButton:pressed { background: rgb(255, 128, 0); }"
                                      "QPushButton:disabled { color: grey; }")
                           .arg(HouseColour::Highlight.name()));
}

// Hands a failure that ends the action to the user's notices and to the status line.
class StatusEcho : public Notices {
public:
    StatusEcho(Notices &inner, std::function<void(const QString &)> echo) : m_inner(inner), m_echo(std::move(echo)) {}
    void notice(const QString &text) override { m_inner.notice(text); }
    void error(const QString &text) override { m_inner.error(text); }
    void generalError(const QString &text) override
    {
        m_echo(text);
        m_inner.generalError(text);
    }
    bool confirm(const QString &text) override { return m_inner.confirm(text); }

private:
    Notices &m_inner;
    std::function<void(const QString &)> m_echo;
};

QString closeStyle()
{
    return buttonStyle(QStringLiteral("QPushButton:hover, QPushButton:pressed { background: yellow; }"));
}

} // namespace

void ProgressBarProgress::setMaximum(int maximum)
{
    m_bar->setMaximum(maximum);
}

void ProgressBarProgress::setPosition(int position)
{
    // setValue repaints the bar at once when its look changes, so it moves during a stage.
    m_bar->setValue(std::min(position, m_bar->maximum()));
}

TFModifyFileSx::TFModifyFileSx(AppContext &context, QWidget *parent) : QDialog(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("TFModifyFileSx"));
    setWindowTitle(ImageMessages::WindowCaption);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyTessiroStyle(this);
    setFixedSize(430, 224);

    m_close = new QPushButton(QStringLiteral("X"), this);
    m_close->setObjectName(QStringLiteral("LbButton1"));
    m_close->setGeometry(400, 3, 25, 17);
    m_close->setFlat(true);
    m_close->setStyleSheet(closeStyle());
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    m_execute = new QPushButton(ImageMessages::ExecuteCaption, this);
    m_execute->setObjectName(QStringLiteral("LbButton2"));
    m_execute->setGeometry(160, 142, 153, 23);
    m_execute->setFlat(true);
    m_execute->setStyleSheet(executeStyle());
    m_execute->setAutoDefault(false);
    connect(m_execute, &QPushButton::clicked, this, &TFModifyFileSx::LbButton2Click);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LbStatus"));
    m_status->setGeometry(8, 100, 417, 17);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *portLabel = new QLabel(ImageMessages::PortCaption, this);
    portLabel->setObjectName(QStringLiteral("LbPort"));
    portLabel->setGeometry(328, 124, 89, 17);

    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("cbport"));
    m_port->setEditable(false);
    for (int n = 1; n <= 8; ++n)
        m_port->addItem(QStringLiteral("COM%1").arg(n));
    m_port->setGeometry(328, 143, 89, 21);
    portLabel->setBuddy(m_port);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("Avanzamento"));
    m_progressBar->setGeometry(8, 176, 417, 24);
    m_progressBar->setTextVisible(false);
    m_progress.setBar(m_progressBar);

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(8, 208, 417, 10);
    shape->setStyleSheet(QStringLiteral("#Shape1 { background: %1; border: 1px solid rgb(64, 64, 64); }")
                             .arg(HouseColour::Highlight.name()));

    setTabOrder(m_close, m_execute);
    setTabOrder(m_execute, m_port);
}

TFModifyFileSx::~TFModifyFileSx() = default;

int TFModifyFileSx::execHoldingLock(std::unique_ptr<ProjectWriteLock> lock)
{
    m_lock = std::move(lock);
    const int result = exec();
    m_lock.reset();
    return result;
}

void TFModifyFileSx::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guardedCall(m_ctx.notices, [this] { FormShow(); });
}

void TFModifyFileSx::FormShow()
{
    const ProjectState &project = m_ctx.project();
    // Bottom edge on the screen's middle line.
    if (QScreen *screen = QApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2, area.top() + area.height() / 2 - height());
    }
    m_port->setCurrentIndex(0);
    m_progressBar->setMaximum(100);
    m_progressBar->setValue(0);
    m_execute->setEnabled(false);
    setStatus(QString());

    const QString master = joinPath(project.MasterDir, ImageMessages::FirmwareFileName);
    m_inputs = mergeInputs(project, master);
    if (project.MasterDir.isEmpty() || !QFileInfo(project.MasterDir).isDir()) {
        failed(ImageMessages::FirmwareDirNotFound, &Notices::error);
        return;
    }
    if (!QFileInfo::exists(master)) {
        failed(ImageMessages::FirmwareFileNotFound, &Notices::error);
        return;
    }
    QDir::setCurrent(project.MasterDir);
    m_execute->setEnabled(true);
}

void TFModifyFileSx::setStatus(const QString &text)
{
    // One line: a long path is cut at the window's edge, and the tip shows the text whole.
    QString line = text;
    m_status->setText(line.replace(u'\n', u' '));
    m_status->setToolTip(text);
}

void TFModifyFileSx::failed(const QString &text, void (Notices::*shows)(const QString &))
{
    setStatus(text);
    (m_ctx.notices.*shows)(text);
}

void TFModifyFileSx::LbButton2Click()
{
    setStatus(QString());
    // Whatever ends the action (a lock held elsewhere, say) is told on the status line as well.
    StatusEcho echo(m_ctx.notices, [this](const QString &text) { setStatus(text); });
    guardedCall(echo, [this] {
        std::unique_ptr<ProjectWriteLock> ownLock;
        if (!m_lock)
            ownLock = std::make_unique<ProjectWriteLock>(m_ctx.project().ProjectDir);
        // The tool is started only on a firmware this run has merged.
        if (ExeModFileSxClick())
            ExeUpdateFirClick();
    });
}

bool TFModifyFileSx::ExeModFileSxClick()
{
    FirmwareMerge merge(m_inputs, m_progress);
    const StageOutcome outcome = merge.runChain();
    if (outcome.result != StageResult::Failed) {
        setStatus(ImageMessages::firmwareWritten(m_inputs.OutputPath));
        return true;
    }
    failed(outcome.message, &Notices::notice);
    return false;
}

void TFModifyFileSx::ExeUpdateFirClick()
{
    const QString &merged = m_inputs.OutputPath;
    if (!QFileInfo::exists(merged)) {
        failed(ImageMessages::SxNotFound, &Notices::notice);
        return;
    }
    // Beside the program first, then where an installed program keeps its shipped files.
    const QString tool = shippedFile(m_ctx.project().AppDir, ImageMessages::FlashToolName);
    if (!QFileInfo::exists(tool)) {
        failed(ImageMessages::FlashToolNotFound, &Notices::notice);
        return;
    }
    const QString parameters = u'"' + merged + u'"' + QChar(0x00B6) + QString::number(m_port->currentIndex());
    try {
        m_ctx.launcher.startDetached(tool, parameters);
    } catch (const TessiroError &e) {
        failed(ImageMessages::flashToolNotStarted(tool, e.message()), &Notices::notice);
        return;
    }
    setStatus(ImageMessages::flashToolStarted(m_port->currentText(), merged));
}
