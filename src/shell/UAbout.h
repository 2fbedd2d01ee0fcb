#pragma once

#include <QDialog>

class ProcessLauncher;

class TFAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFAbout(ProcessLauncher &launcher, QWidget *parent = nullptr);

private slots:
    void Label4Click();
    void Label5Click();

private:
    ProcessLauncher &m_launcher;
};
