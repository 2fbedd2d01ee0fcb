#pragma once

#include <QDialog>

class ProcessLauncher;
class QPushButton;

class TFAbout : public QDialog {
    Q_OBJECT
public:
    // dataDir: the folder that holds MASTER, PROJECTS and the last-project file.
    TFAbout(ProcessLauncher &launcher, const QString &dataDir, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void Label4Click();
    void Label5Click();

private:
    ProcessLauncher &m_launcher;
    QPushButton *m_ok;
};
