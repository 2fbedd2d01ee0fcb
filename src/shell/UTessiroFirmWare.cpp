#include "shell/UTessiroFirmWare.h"

#include "base/AppConstants.h"
#include "base/GuardedCall.h"
#include "config/DeviceCheck.h"
#include "config/Messages.h"
#include "config/ProjectCheck.h"
#include "config/USetPdo.h"
#include "config/USetVar.h"
#include "config/Upargen.h"
#include "eds/EdsWriter.h"
#include "image/BankImage.h"
#include "image/Messages.h"
#include "image/ModifyFileSx.h"
#include "project/Messages.h"
#include "project/ProjectLock.h"
#include "shell/Messages.h"
#include "shell/UAbout.h"
#include "shell/Uhelp.h"
#include "translate/SELstringhe.h"
#include "translate/UInfoPdo.h"
#include "translate/USdo.h"
#include "translate/UWemcy.h"
#include "translate/Uemcy.h"
#include "translate/Updo.h"
#include "widgets/Style.h"
#include "widgets/Unewp.h"
#include "xmlview/UXML.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <memory>
#include <optional>

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

bool isInsideFolder(const QString &file, const QString &folder)
{
    const QString dir = QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath();
    const QString root = QFileInfo(folder).canonicalFilePath();
    return !root.isEmpty() && (dir == root || dir.startsWith(root + u'/'));
}
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
    about->installEventFilter(this);
    close->installEventFilter(this);

    buildWindowEntries();
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

    // One line under the steps: what the last step did.
    m_labelState = new QLabel(QStringLiteral("---"), this);
    m_labelState->setObjectName(QStringLiteral("Labelstate"));
    m_labelState->setGeometry(24, 276, 276, 18);
}

void TFTessiroFirmWare::buildWindowEntries()
{
    // Beyond the six steps: everything else the program has, on the right button, the Menu key
    // or Shift+F10, and help on F1. Help needs no project and shows itself.
    m_windows = {
        {"MenuPdo", "Set Traslate PDO", "btn_Pdo", opensOwn<TFpdo>()},
        {"MenuInfoPdo", "Define store PDO", "btn_Info_Pdo", opensOwn<TFInfopdo>()},
        {"MenuEmcy", "Set Traslate EMCY", "btn_Emcy", opensOwn<TFemcy>()},
        {"MenuEmcyWd", "Define EMCY Word", "btn_Emcy_Wd", opensOwn<TFWemcy>()},
        {"MenuSdo", "SDO Translation", nullptr, opensOwn<TFsdo>()},
        {"MenuXml", "XML Viewer", nullptr, [this] { guardedCall(m_ctx.notices, [this] { xmlViewer().exec(); }); }},
        {"MenuSelString", "Select String", nullptr, opensOwn<TFSELstringhe>()},
        {"MenuHelp", "Help", nullptr, [this] { window(m_help).showHelp(); }, QKeySequence(Qt::Key_F1)},
    };
    for (const WindowRow &entry : m_windows) {
        auto *action = new QAction(QString::fromLatin1(entry.caption), this);
        action->setObjectName(QString::fromLatin1(entry.menuName));
        connect(action, &QAction::triggered, this, entry.action);
        action->setShortcut(entry.shortcut);
        addAction(action);
    }
}

void TFTessiroFirmWare::showWindowMenu(const QPoint &globalPos)
{
    QMenu::exec(actions(), globalPos, nullptr, this);
}

void TFTessiroFirmWare::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu keys are handled below on every platform; some platforms also turn them into
    // this event, which would open the menu a second time.
    if (event->reason() != QContextMenuEvent::Keyboard)
        showWindowMenu(event->globalPos());
    event->accept();
}

void TFTessiroFirmWare::keyPressEvent(QKeyEvent *event)
{
    const bool menuKey =
        event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (!menuKey) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QWidget *at = focusWidget() ? focusWidget() : this;
    showWindowMenu(at->mapToGlobal(at->rect().center()));
    event->accept();
}

template <typename W> std::function<void()> TFTessiroFirmWare::opens(W *&slot)
{
    return [this, &slot] { runStep([this, &slot] { window(slot).exec(); }); };
}

template <typename W> std::function<void()> TFTessiroFirmWare::opensOwn()
{
    // The copies of the entry share the slot, so the menu and the hidden button show one window.
    const auto slot = std::make_shared<W *>(nullptr);
    return [this, slot] { runStep([this, slot] { window(*slot).exec(); }); };
}

std::function<void()> TFTessiroFirmWare::opensNothingYet()
{
    return [this] { runStep([] {}); };
}

void TFTessiroFirmWare::buildStepButtons()
{
    QList<StepButton> buttons = {
        {"New", "New project", {1, 0}, Shown::Visible, [this] { NewaClick(); }},
        {"open", "Open project", {1, 1}, Shown::Visible, [this] { OpenaClick(); }},
        {"btn_Prm_Gen", "Set Communication", {2, 0}, Shown::Visible, opens(m_pargen)},
        {"btn_Sdo", "Set SDO Access ", {3, 0}, Shown::Visible, opens(m_setVar)},
        {"Btn_SetPDO", "Set PDO Access ", {4, 0}, Shown::Visible, opens(m_setPdo)},
        {"B_EDS", "EDS File", {5, 0}, Shown::Visible, [this] { runStep([this] { runEdsStep(); }); }},
        {"CreateBin", "Up date Device", {6, 0}, Shown::Visible, [this] { CreateBinaClick(); }},
    };
    for (const WindowRow &entry : m_windows)
        if (entry.hiddenButton)
            buttons.append({entry.hiddenButton, entry.caption, {}, Shown::Hidden, entry.action});
    buttons.append({"CreateSx", "Generate Firmware", {}, Shown::Hidden, [this] { CreateSxClick(); }});

    QFont stepFont = font();
    stepFont.setBold(true);
    QPushButton *first = nullptr;
    for (const StepButton &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        connect(button, &QPushButton::clicked, this, b.action);
        button->installEventFilter(this);
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

bool TFTessiroFirmWare::eventFilter(QObject *watched, QEvent *event)
{
    // A window, not a dialog, so no button is a default one: Enter presses the focused button.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto *button = qobject_cast<QPushButton *>(watched)) {
                button->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFTessiroFirmWare::showStatus(const QString &text)
{
    // A long path is shortened in its middle; the whole line stays in the tooltip.
    m_labelState->setText(m_labelState->fontMetrics().elidedText(text, Qt::ElideMiddle, m_labelState->width()));
    m_labelState->setToolTip(text);
}

void TFTessiroFirmWare::FormCreate(const QString &appDir)
{
    projectChanged(m_ctx.store.startUp(appDir));
}

template <typename W> W &TFTessiroFirmWare::window(W *&slot)
{
    if (!slot) {
        slot = new W(m_ctx, this);
        // F1 in a window that asks for help.
        if constexpr (requires { &W::helpRequested; })
            connect(slot, &W::helpRequested, this, [this] { window(m_help).showHelp(); });
    }
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
        m_about = new TFAbout(m_ctx.launcher, m_ctx.project().DataDir, this);
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
    {
        // Written into the project, the EDS is one more of its files: one writer at a time.
        std::optional<ProjectWriteLock> lock;
        if (isInsideFolder(fileName, projectDir))
            lock.emplace(projectDir);
        WriteEdsFile(fileName, projectFiles(projectDir).PdoPath);
    }
    showStatus(ShellMessages::EdsWritten.arg(QDir::toNativeSeparators(fileName)));
}

void TFTessiroFirmWare::CreateBinaClick()
{
    // Without a project the generators would write outside any project.
    if (refuseWithoutProject())
        return;
    // One writer from the bank files through the merge: taken here, handed to the window.
    std::unique_ptr<ProjectWriteLock> lock;
    if (VariantCode == 2) {
        showStatus(ImageMessages::StatusWait);
        repaint();
        const ProjectState &project = m_ctx.project();
        const bool generated = guardedCall(m_ctx.notices, [&] {
            requireBankableProject(project);
            showDeviceWarnings(project);
            lock = std::make_unique<ProjectWriteLock>(project.ProjectDir);
            GenerateDeviceImage(project.ProjectFiles);
        });
        // No firmware window on bank files that this run did not write.
        if (!generated) {
            showStatus(ImageMessages::StatusDone);
            return;
        }
        showStatus(ShellMessages::BanksWritten.arg(project.ProjectFiles.BinDir));
    }
    window(m_modifyFileSx).execHoldingLock(std::move(lock));
}

void TFTessiroFirmWare::showDeviceWarnings(const ProjectState &project)
{
    const QList<ConfigProblem> warnings = checkProjectAgainstDevice(project);
    if (warnings.isEmpty())
        return;
    QString text = ConfigMessages::DeviceWarnings;
    for (const ConfigProblem &warning : warnings)
        text += u'\n' + warning.toString();
    m_ctx.notices.notice(text);
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
