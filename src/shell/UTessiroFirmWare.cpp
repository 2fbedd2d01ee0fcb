#include "shell/UTessiroFirmWare.h"

#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "config/USetPdo.h"
#include "config/USetVar.h"
#include "config/Upargen.h"
#include "eds/EdsWriter.h"
#include "image/BankImage.h"
#include "image/Messages.h"
#include "image/ModifyFileSx.h"
#include "project/Messages.h"
#include "project/Unewp.h"
#include "shell/Messages.h"
#include "shell/UAbout.h"
#include "widgets/Style.h"
#include "xmlview/UXML.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int StepTop = 34;
constexpr int StepPitch = 42;
constexpr int ButtonLeft = 100;
constexpr int ButtonWidth = 150;
constexpr int ButtonHeight = 28;
} // namespace

TFTessiroFirmWare::TFTessiroFirmWare(AppContext &context, const QString &appDir, QWidget *parent)
    : QWidget(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("TFTessiroFirmWare"));
    setWindowTitle(ShellMessages::BuiltInCaption);
    // No title-bar buttons: "X" and the platform's close command end the program.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyTessiroStyle(this);
    setFixedSize(565, 302);
    buildControls();
    FormCreate(appDir);
    createWindows();
    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QPushButton *TFTessiroFirmWare::addButton(const char *name, const QString &caption, int x, int y, int w)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, w, ButtonHeight);
    return button;
}

void TFTessiroFirmWare::buildControls()
{
    QFont stepFont = font();
    stepFont.setBold(true);
    auto stepLabel = [&](int step, QWidget *buddy) {
        auto *label = new QLabel(QStringLiteral("Step %1").arg(step), this);
        label->setObjectName(QStringLiteral("LabelStep%1").arg(step));
        label->setFont(stepFont);
        label->setStyleSheet(QStringLiteral("color: grey;"));
        label->setGeometry(24, StepTop + (step - 1) * StepPitch + 6, 70, 16);
        label->setBuddy(buddy);
    };

    auto *about = addButton("About", QStringLiteral("About"), 445, 6, 70);
    auto *close = addButton("X", QStringLiteral("X"), 522, 6, 34);
    about->setFixedHeight(22);
    close->setFixedHeight(22);
    connect(about, &QPushButton::clicked, this, &TFTessiroFirmWare::AboutClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *newProject = addButton("New", QStringLiteral("New project"), ButtonLeft, StepTop, ButtonWidth);
    auto *openProject =
        addButton("open", QStringLiteral("Open project"), ButtonLeft + ButtonWidth + 10, StepTop, ButtonWidth);
    connect(newProject, &QPushButton::clicked, this, &TFTessiroFirmWare::NewaClick);
    connect(openProject, &QPushButton::clicked, this, &TFTessiroFirmWare::OpenaClick);
    stepLabel(1, newProject);
    newProject->setFocus();

    const struct {
        const char *name;
        const char *caption;
    } steps[] = {{"btn_Prm_Gen", "Set Communication"},
                 {"btn_Sdo", "Set SDO Access "},
                 {"Btn_SetPDO", "Set PDO Access "},
                 {"B_EDS", "EDS File"}};
    int step = 2;
    for (const auto &s : steps) {
        auto *button = addButton(s.name, QString::fromLatin1(s.caption), ButtonLeft, StepTop + (step - 1) * StepPitch,
                                 ButtonWidth);
        connect(button, &QPushButton::clicked, this, &TFTessiroFirmWare::btn_str_lng1aClick);
        m_stepWindows.insert(button, nullptr);
        stepLabel(step++, button);
        if (qstrcmp(s.name, "B_EDS") == 0)
            m_edsButton = button;
    }
    auto *createBin =
        addButton("CreateBin", QStringLiteral("Up date Device"), ButtonLeft, StepTop + 5 * StepPitch, ButtonWidth);
    connect(createBin, &QPushButton::clicked, this, &TFTessiroFirmWare::CreateBinaClick);
    stepLabel(6, createBin);

    auto *link = new ClickLabel(MakerWebAddress, this);
    link->setObjectName(QStringLiteral("LinkLabel"));
    QFont linkFont = font();
    linkFont.setBold(true);
    link->setFont(linkFont);
    link->setStyleSheet(QStringLiteral("color: grey;"));
    link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    link->setGeometry(305, 276, 250, 18);
    connect(link, &ClickLabel::clicked, this, [this] { m_ctx.launcher.openUrl(MakerWebPage); });

    // Controls the program keeps but never shows.
    m_labelState = new QLabel(QStringLiteral("---"), this);
    m_labelState->setObjectName(QStringLiteral("Labelstate"));
    m_labelState->hide();
    const struct {
        const char *name;
        const char *caption;
    } hidden[] = {{"btn_Pdo", "Set Traslate PDO"},
                  {"btn_Info_Pdo", "Define store PDO"},
                  {"btn_Emcy", "Set Traslate EMCY"},
                  {"btn_Emcy_Wd", "Define EMCY Word"}};
    for (const auto &h : hidden) {
        auto *button = addButton(h.name, QString::fromLatin1(h.caption), 0, 0, ButtonWidth);
        button->hide();
        connect(button, &QPushButton::clicked, this, &TFTessiroFirmWare::btn_str_lng1aClick);
        m_stepWindows.insert(button, nullptr);
    }
    auto *createSx = addButton("CreateSx", QStringLiteral("Generate Firmware"), 0, 0, ButtonWidth);
    createSx->hide();
    connect(createSx, &QPushButton::clicked, this, &TFTessiroFirmWare::CreateSxClick);
}

void TFTessiroFirmWare::FormCreate(const QString &appDir)
{
    const bool restored = m_ctx.store.startUp(appDir);
    if (restored)
        setProjectCaption();
    m_excelInitialDir = m_ctx.project().ProjectDir;
}

void TFTessiroFirmWare::createWindows()
{
    m_saveproj = new TFsaveproj(m_ctx.store, m_ctx.notices, this);
    m_about = new TFAbout(m_ctx.launcher, this);
    m_modifyFileSx = new TFModifyFileSx(m_ctx, this);
    m_stepWindows[findChild<QPushButton *>(QStringLiteral("btn_Prm_Gen"))] = new TFpargen(m_ctx, this);
    // The XML viewer exists for the whole run; nothing here offers it.
    m_xml = new TFXML(m_ctx, *m_saveproj, this);
    m_stepWindows[findChild<QPushButton *>(QStringLiteral("btn_Sdo"))] = new TFSetVar(m_ctx, this);
    m_stepWindows[findChild<QPushButton *>(QStringLiteral("Btn_SetPDO"))] = new TFSetPdo(m_ctx, this);
}

void TFTessiroFirmWare::setProjectCaption()
{
    setWindowTitle(ShellMessages::ProjectCaption + m_ctx.project().ProjectName);
}

void TFTessiroFirmWare::closeEvent(QCloseEvent *event)
{
    QString error;
    if (!m_ctx.store.saveLastProject(&error))
        m_ctx.notices.generalError(error);
    event->accept();
}

void TFTessiroFirmWare::NewaClick()
{
    m_saveproj->NameDialogMode = 0;
    m_saveproj->NewProjectParent = m_ctx.project().ProjectsDir;
    if (m_saveproj->exec() == QDialog::Accepted) {
        setProjectCaption();
        m_excelInitialDir = m_ctx.project().ProjectDir;
    }
    // On Cancel the project is unchanged, and so is the caption.
}

void TFTessiroFirmWare::OpenaClick()
{
    const QString preselect = m_ctx.store.prepareOpen();
    const QString chosen =
        m_ctx.chooser.chooseFolder(ProjectMessages::SelectDirectoryTitle, m_ctx.project().ProjectsDir, preselect);
    m_ctx.store.openChosen(chosen);
    setProjectCaption();
    m_excelInitialDir = m_ctx.project().ProjectDir;
}

bool TFTessiroFirmWare::refuseWithoutProject()
{
    if (m_ctx.project().hasValidProject())
        return false;
    m_ctx.notices.notice(ShellMessages::ProjectNotValid);
    return true;
}

void TFTessiroFirmWare::btn_str_lng1aClick()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (refuseWithoutProject())
        return;
    guardedCall(m_ctx.notices, [&] {
        if (button == m_edsButton) {
            runEdsStep();
            return;
        }
        if (QDialog *window = m_stepWindows.value(button))
            window->exec();
    });
}

void TFTessiroFirmWare::runEdsStep()
{
    const QString projectDir = m_ctx.project().ProjectDir;
    const QString fileName = m_ctx.chooser.saveFile(edsSaveDialogOptions(projectDir));
    if (fileName.isEmpty())
        return;
    WriteEdsFile(fileName, projectFiles(projectDir).PdoPath);
}

void TFTessiroFirmWare::CreateBinaClick()
{
    // Without a project the generators would write outside any project.
    if (refuseWithoutProject())
        return;
    if (VariantCode == 2) {
        m_labelState->setText(ImageMessages::StatusWait);
        repaint();
        const bool generated = guardedCall(m_ctx.notices, [this] { GenerateDeviceImage(m_ctx.project().ProjectDir); });
        m_labelState->setText(ImageMessages::StatusDone);
        // No firmware window on bank files that this run did not write.
        if (!generated)
            return;
    }
    openFirmwareWindow();
}

void TFTessiroFirmWare::CreateSxClick()
{
    if (refuseWithoutProject())
        return;
    openFirmwareWindow();
}

void TFTessiroFirmWare::openFirmwareWindow()
{
    if (m_modifyFileSx)
        m_modifyFileSx->exec();
}

void TFTessiroFirmWare::AboutClick()
{
    m_about->exec();
}
