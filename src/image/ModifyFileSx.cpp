#include "image/ModifyFileSx.h"

#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "image/Messages.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "widgets/AppContext.h"
#include "widgets/Style.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

const QString ButtonStyle = QStringLiteral("QPushButton { background: rgb(248, 247, 237); border: 1px solid rgb(160, "
                                           "160, 160); color: rgb(51, 51, 51); }"
                                           "QPushButton:hover { background: rgb(166, 202, 240); }"
                                           "QPushButton:pressed { background: rgb(255, 128, 0); }"
                                           "QPushButton:focus { border: 1px dotted rgb(51, 51, 51); }"
                                           "QPushButton:disabled { color: grey; }");
const QString CloseStyle = QStringLiteral("QPushButton { background: rgb(248, 247, 237); border: 1px solid rgb(160, "
                                          "160, 160); color: rgb(51, 51, 51); }"
                                          "QPushButton:focus { border: 1px dotted rgb(51, 51, 51); }"
                                          "QPushButton:hover, QPushButton:pressed { background: yellow; }");

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
    m_close->setStyleSheet(CloseStyle);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    m_execute = new QPushButton(ImageMessages::ExecuteCaption, this);
    m_execute->setObjectName(QStringLiteral("LbButton2"));
    m_execute->setGeometry(160, 142, 153, 23);
    m_execute->setFlat(true);
    m_execute->setStyleSheet(ButtonStyle);
    m_execute->setAutoDefault(false);
    connect(m_execute, &QPushButton::clicked, this, &TFModifyFileSx::LbButton2Click);

    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("cbport"));
    m_port->setEditable(false);
    for (int n = 1; n <= 8; ++n)
        m_port->addItem(QStringLiteral("COM%1").arg(n));
    m_port->setGeometry(328, 143, 89, 21);
    m_port->setAccessibleName(QStringLiteral("COM port"));

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("Avanzamento"));
    m_progressBar->setGeometry(8, 176, 417, 24);
    m_progressBar->setTextVisible(false);
    m_progress.setBar(m_progressBar);

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(8, 208, 417, 10);
    shape->setStyleSheet(
        QStringLiteral("#Shape1 { background: rgb(166, 202, 240); border: 1px solid rgb(64, 64, 64); }"));

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

    const QString master = joinPath(project.MasterDir, ImageMessages::FirmwareFileName);
    m_inputs = mergeInputs(project, master);
    if (project.MasterDir.isEmpty() || !QFileInfo(project.MasterDir).isDir()) {
        m_ctx.notices.error(ImageMessages::FirmwareDirNotFound);
        return;
    }
    if (!QFileInfo::exists(master)) {
        m_ctx.notices.error(ImageMessages::FirmwareFileNotFound);
        return;
    }
    QDir::setCurrent(project.MasterDir);
    m_execute->setEnabled(true);
}

void TFModifyFileSx::LbButton2Click()
{
    guardedCall(m_ctx.notices, [this] {
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
    if (outcome.result != StageResult::Failed)
        return true;
    m_ctx.notices.notice(outcome.message);
    return false;
}

void TFModifyFileSx::ExeUpdateFirClick()
{
    const QString &merged = m_inputs.OutputPath;
    if (!QFileInfo::exists(merged)) {
        m_ctx.notices.notice(ImageMessages::SxNotFound);
        return;
    }
    const QString tool = joinPath(m_ctx.project().AppDir, ImageMessages::FlashToolName);
    if (!QFileInfo::exists(tool)) {
        m_ctx.notices.notice(ImageMessages::FlashToolNotFound);
        return;
    }
    const QString parameters = u'"' + merged + u'"' + QChar(0x00B6) + QString::number(m_port->currentIndex());
    QString error;
    if (!m_ctx.launcher.startDetached(tool, parameters, &error))
        m_ctx.notices.notice(ImageMessages::flashToolNotStarted(tool, error));
}
