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
#include <QPalette>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int StepTop = 34;
constexpr int StepPitch = 42;
constexpr int ButtonLeft = 100;
constexpr int ButtonWidth = 150;
constexpr int ButtonHeight = 28;
constexpr int ColumnPitch = ButtonWidth + 10;

// Through the palette, not a style sheet: the first style sheet alone costs the start milliseconds.
void paintGrey(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    widget->setPalette(palette);
}

enum class Shown { Visible, Hidden };

// Where a step button stands: the step's row and its column in that row.
struct Place {
    int step = 0;
    int column = 0;
};

struct StepButton {
    const char *name;
    const char *caption;
    Place place;
    Shown shown;
    std::function<void()> action;
};
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
    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFTessiroFirmWare::buildControls()
{
    auto *about = new QPushButton(QStringLiteral("About"), this);
    about->setObjectName(QStringLiteral("About"));
    about->setGeometry(445, 6, 70, 22);
    auto *close = new QPushButton(QStringLiteral("X"), this);
    close->setObjectName(QStringLiteral("X"));
    close->setGeometry(522, 6, 34, 22);
    connect(about, &QPushButton::clicked, this, &TFTessiroFirmWare::AboutClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    buildStepButtons();

    auto *link = new ClickLabel(MakerWebAddress, this);
    link->setObjectName(QStringLiteral("LinkLabel"));
    QFont linkFont = font();
    linkFont.setBold(true);
    link->setFont(linkFont);
    paintGrey(link);
    link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    link->setGeometry(305, 276, 250, 18);
    connect(link, &ClickLabel::clicked, this, [this] { m_ctx.launcher.openUrl(MakerWebPage); });

    // A control the program keeps but never shows.
    m_labelState = new QLabel(QStringLiteral("---"), this);
    m_labelState->setObjectName(QStringLiteral("Labelstate"));
    m_labelState->hide();
}

void TFTessiroFirmWare::buildStepButtons()
{
    // A step that opens its window through the dispatch; the window is made on first use.
    const auto opens = [this](auto *&slot) -> std::function<void()> {
        return [this, &slot] { runStep([this, &slot] { window(slot).exec(); }); };
    };
    // Dispatched like the editors, with no window of its own yet: opens(m_window) attaches one.
    const std::function<void()> opensNothingYet = [this] { runStep([] {}); };

    const StepButton buttons[] = {
        {"New", "New project", {1, 0}, Shown::Visible, [this] { NewaClick(); }},
        {"open", "Open project", {1, 1}, Shown::Visible, [this] { OpenaClick(); }},
        {"btn_Prm_Gen", "Set Communication", {2, 0}, Shown::Visible, opens(m_pargen)},
        {"btn_Sdo", "Set SDO Access ", {3, 0}, Shown::Visible, opens(m_setVar)},
        {"Btn_SetPDO", "Set PDO Access ", {4, 0}, Shown::Visible, opens(m_setPdo)},
        {"B_EDS", "EDS File", {5, 0}, Shown::Visible, [this] { runStep([this] { runEdsStep(); }); }},
        {"CreateBin", "Up date Device", {6, 0}, Shown::Visible, [this] { CreateBinaClick(); }},
        {"btn_Pdo", "Set Traslate PDO", {}, Shown::Hidden, opensNothingYet},
        {"btn_Info_Pdo", "Define store PDO", {}, Shown::Hidden, opensNothingYet},
        {"btn_Emcy", "Set Traslate EMCY", {}, Shown::Hidden, opensNothingYet},
        {"btn_Emcy_Wd", "Define EMCY Word", {}, Shown::Hidden, opensNothingYet},
        {"CreateSx", "Generate Firmware", {}, Shown::Hidden, [this] { CreateSxClick(); }},
    };

    QFont stepFont = font();
    stepFont.setBold(true);
    QPushButton *first = nullptr;
    for (const StepButton &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        connect(button, &QPushButton::clicked, this, b.action);
        if (b.shown == Shown::Hidden) {
            button->hide();
            continue;
        }
        const int top = StepTop + (b.place.step - 1) * StepPitch;
        button->setGeometry(ButtonLeft + b.place.column * ColumnPitch, top, ButtonWidth, ButtonHeight);
        if (!first)
            first = button;
        if (b.place.column != 0)
            continue;
        auto *label = new QLabel(QStringLiteral("Step %1").arg(b.place.step), this);
        label->setObjectName(QStringLiteral("LabelStep%1").arg(b.place.step));
        label->setFont(stepFont);
        paintGrey(label);
        label->setGeometry(24, top + 6, 70, 16);
        label->setBuddy(button);
    }
    first->setFocus();
}

void TFTessiroFirmWare::FormCreate(const QString &appDir)
{
    projectChanged(m_ctx.store.startUp(appDir));
}

template <typename W> W &TFTessiroFirmWare::window(W *&slot)
{
    if (!slot)
        slot = new W(m_ctx, this);
    return *slot;
}

TFsaveproj &TFTessiroFirmWare::nameDialog()
{
    if (!m_saveproj)
        m_saveproj = new TFsaveproj(m_ctx.store, m_ctx.notices, this);
    return *m_saveproj;
}

TFAbout &TFTessiroFirmWare::about()
{
    if (!m_about)
        m_about = new TFAbout(m_ctx.launcher, this);
    return *m_about;
}

TFXML &TFTessiroFirmWare::xmlViewer()
{
    if (!m_xml)
        m_xml = new TFXML(m_ctx, nameDialog(), this);
    return *m_xml;
}

void TFTessiroFirmWare::projectChanged(bool projectChosen)
{
    if (projectChosen)
        setWindowTitle(ShellMessages::ProjectCaption + m_ctx.project().ProjectName);
    m_excelInitialDir = m_ctx.project().ProjectDir;
}

void TFTessiroFirmWare::closeEvent(QCloseEvent *event)
{
    guardedCall(m_ctx.notices, [this] { m_ctx.store.saveLastProject(); });
    event->accept();
}

void TFTessiroFirmWare::NewaClick()
{
    // On Cancel the project is unchanged, and so is the caption.
    if (nameDialog().askNewProject(m_ctx.project().ProjectsDir))
        projectChanged();
}

void TFTessiroFirmWare::OpenaClick()
{
    const QString preselect = m_ctx.store.prepareOpen();
    const QString chosen =
        m_ctx.chooser.chooseFolder(ProjectMessages::SelectDirectoryTitle, m_ctx.project().ProjectsDir, preselect);
    m_ctx.store.openChosen(chosen);
    projectChanged();
}

bool TFTessiroFirmWare::refuseWithoutProject()
{
    if (m_ctx.project().hasValidProject())
        return false;
    m_ctx.notices.notice(ShellMessages::ProjectNotValid);
    return true;
}

void TFTessiroFirmWare::runStep(const std::function<void()> &step)
{
    if (refuseWithoutProject())
        return;
    guardedCall(m_ctx.notices, step);
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
    window(m_modifyFileSx).exec();
}

void TFTessiroFirmWare::AboutClick()
{
    about().exec();
}
