#pragma once

#include <QKeySequence>
#include <QList>
#include <QWidget>
#include <functional>

#include "project/AppContext.h"

class QLabel;
class TFAbout;
class TFModifyFileSx;
class TFSetPdo;
class TFSetVar;
class TFXML;
class TFHelp;
class TFpargen;
class TFsaveproj;

// The main window: the six steps, About and exit.
class TFTessiroFirmWare : public QWidget {
    Q_OBJECT
public:
    // appDir is the program's directory: MASTER, PROJECTS and the last-project file live there.
    TFTessiroFirmWare(AppContext &context, const QString &appDir, QWidget *parent = nullptr);

    // Initial directory of the spreadsheet chooser of the translation editors.
    const QString &excelInitialDir() const { return m_excelInitialDir; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void NewaClick();
    void OpenaClick();
    void CreateBinaClick();
    void CreateSxClick();
    void AboutClick();

private:
    void FormCreate(const QString &appDir);
    void buildControls();
    void buildWindowEntries();
    void buildStepButtons();
    // The entries beyond the six steps, as a popup menu.
    void showWindowMenu(const QPoint &globalPos);
    // Caption and workbook folder follow the current project; the built-in caption
    // stays until a project has been restored, created or opened.
    void projectChanged(bool projectChosen = true);
    // A step that opens the window in slot through the dispatch.
    template <typename W> std::function<void()> opens(W *&slot);
    // The same for a window that only this entry (and whatever copies it) opens.
    template <typename W> std::function<void()> opensOwn();
    // A step without a window of its own yet: dispatched, it opens nothing.
    std::function<void()> opensNothingYet();
    bool refuseWithoutProject();
    void showStatus(const QString &text);
    // The step dispatch: refused without a valid project, otherwise run with its failures shown.
    void runStep(const std::function<void()> &step);
    void runEdsStep();
    void openFirmwareWindow();
    // The map rows that do not fit the device the project remembers; generation goes on.
    void showDeviceWarnings(const ProjectState &project);

    // The window in slot, made when first shown and kept for the whole run, so that it keeps
    // its state between showings; made late because most runs never show most windows.
    template <typename W> W &window(W *&slot);
    TFsaveproj &nameDialog();
    TFAbout &about();
    TFXML &xmlViewer();

    AppContext &m_ctx;
    // The windows that no step shows: each is an entry of the context menu and, where it has
    // one, a hidden step button that opens the same window.
    struct WindowRow {
        const char *menuName;
        const char *caption;
        const char *hiddenButton;
        std::function<void()> action;
        QKeySequence shortcut = {};
    };
    QList<WindowRow> m_windows;
    QString m_excelInitialDir;
    QLabel *m_labelState = nullptr;

    TFsaveproj *m_saveproj = nullptr;
    TFAbout *m_about = nullptr;
    TFModifyFileSx *m_modifyFileSx = nullptr;
    TFpargen *m_pargen = nullptr;
    TFXML *m_xml = nullptr;
    TFSetVar *m_setVar = nullptr;
    TFSetPdo *m_setPdo = nullptr;
    TFHelp *m_help = nullptr;
};
