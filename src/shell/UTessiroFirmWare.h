#pragma once

#include <QWidget>
#include <functional>

#include "widgets/AppContext.h"

class QLabel;
class TFAbout;
class TFModifyFileSx;
class TFSetPdo;
class TFSetVar;
class TFXML;
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

private slots:
    void NewaClick();
    void OpenaClick();
    void CreateBinaClick();
    void CreateSxClick();
    void AboutClick();

private:
    void FormCreate(const QString &appDir);
    void buildControls();
    void buildStepButtons();
    // Caption and workbook folder follow the current project; the built-in caption
    // stays until a project has been restored, created or opened.
    void projectChanged(bool projectChosen = true);
    bool refuseWithoutProject();
    // The step dispatch: refused without a valid project, otherwise run with its failures shown.
    void runStep(const std::function<void()> &step);
    void runEdsStep();
    void openFirmwareWindow();

    // The window in slot, made when first shown and kept for the whole run, so that it keeps
    // its state between showings; made late because most runs never show most windows.
    template <typename W> W &window(W *&slot);
    TFsaveproj &nameDialog();
    TFAbout &about();
    TFXML &xmlViewer();

    AppContext &m_ctx;
    QString m_excelInitialDir;
    QLabel *m_labelState = nullptr;

    TFsaveproj *m_saveproj = nullptr;
    TFAbout *m_about = nullptr;
    TFModifyFileSx *m_modifyFileSx = nullptr;
    TFpargen *m_pargen = nullptr;
    TFXML *m_xml = nullptr;
    TFSetVar *m_setVar = nullptr;
    TFSetPdo *m_setPdo = nullptr;
};
