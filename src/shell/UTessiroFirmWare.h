#pragma once

#include <QHash>
#include <QWidget>

#include "shell/AppContext.h"

class QDialog;
class QLabel;
class QPushButton;
class TFAbout;
class TFXML;
class TFsaveproj;

// The main window: the six steps, About and exit.
class TFTessiroFirmWare : public QWidget {
    Q_OBJECT
public:
    explicit TFTessiroFirmWare(AppContext &context, QWidget *parent = nullptr);

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
    void FormCreate();
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
    QDialog *m_modifyFileSx = nullptr;
    TFXML *m_xml = nullptr;

    // Step buttons and the windows they open; a null window opens nothing.
    QHash<QPushButton *, QDialog *> m_stepWindows;
    QPushButton *m_edsButton = nullptr;
};
