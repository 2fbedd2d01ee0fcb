#pragma once

#include <QHash>
#include <QWidget>

#include "widgets/AppContext.h"

class QDialog;
class QLabel;
class QPushButton;
class TFAbout;
class TFModifyFileSx;
class TFXML;
class TFsaveproj;

// The main window: the six steps, About and exit.
class TFTessiroFirmWare : public QWidget {
    Q_OBJECT
public:
    // appDir is the program's directory: MASTER, PROJECTS and the last-project file live there.
    TFTessiroFirmWare(AppContext &context, const QString &appDir, QWidget *parent = nullptr);

    TFsaveproj *nameDialog() const { return m_saveproj; }
    // Initial directory of the spreadsheet chooser of the translation editors.
    const QString &excelInitialDir() const { return m_excelInitialDir; }

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void NewaClick();
    void OpenaClick();
    void btn_str_lng1aClick();
    void CreateBinaClick();
    void CreateSxClick();
    void AboutClick();

private:
    void FormCreate(const QString &appDir);
    void createWindows();
    void buildControls();
    QPushButton *addButton(const char *name, const QString &caption, int x, int y, int w);
    void setProjectCaption();
    bool refuseWithoutProject();
    void runEdsStep();
    void openFirmwareWindow();

    AppContext &m_ctx;
    QString m_excelInitialDir;
    QLabel *m_labelState = nullptr;

    // Windows created at start, in the program's order; each lives as long as this one.
    TFsaveproj *m_saveproj = nullptr;
    TFAbout *m_about = nullptr;
    TFModifyFileSx *m_modifyFileSx = nullptr;
    TFXML *m_xml = nullptr;

    // Step buttons and the windows they open; a null window opens nothing.
    QHash<QPushButton *, QDialog *> m_stepWindows;
    QPushButton *m_edsButton = nullptr;
};
