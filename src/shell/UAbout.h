#pragma once

#include <QDialog>

class ProcessLauncher;
class QPushButton;

class TFAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFAbout(ProcessLauncher &launcher, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void Label4Click();
    void Label5Click();

private:
    ProcessLauncher &m_launcher;
    QPushButton *m_ok;
};
