#pragma once

#include "base/Progress.h"
#include "image/FirmwareMerge.h"

#include <QDialog>

#include <memory>

struct AppContext;
class ProjectWriteLock;
class Notices;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress of a merge stage on the window's bar.
class ProgressBarProgress : public Progress {
public:
    void setBar(QProgressBar *bar) { m_bar = bar; }
    void setMaximum(int maximum) override;
    void setPosition(int position) override;

private:
    QProgressBar *m_bar = nullptr;
};

// "Generate Firmware": merges the project's banks into the master firmware and
// starts the flash tool on the result.
class TFModifyFileSx : public QDialog {
    Q_OBJECT
public:
    explicit TFModifyFileSx(AppContext &context, QWidget *parent = nullptr);
    ~TFModifyFileSx() override;

    // Opens the window modally while the caller holds the project's write lock,
    // taken before the banks were generated, so that no other writer comes
    // between the banks and the merge. Without it, a merge takes the lock itself.
    int execHoldingLock(std::unique_ptr<ProjectWriteLock> lock);

    // What the merge reads and writes, set at each opening.
    const MergeInputs &inputs() const { return m_inputs; }

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void LbButton2Click();

private:
    void FormShow();
    // The merge chain; true when every stage completed.
    bool ExeModFileSxClick();
    void ExeUpdateFirClick();
    void setStatus(const QString &text);
    // Shows a failure as the given kind of message and on the status line.
    void failed(const QString &text, void (Notices::*shows)(const QString &));

    AppContext &m_ctx;
    QPushButton *m_close = nullptr;
    QComboBox *m_port = nullptr;
    QPushButton *m_execute = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_status = nullptr;
    ProgressBarProgress m_progress;
    MergeInputs m_inputs;
    std::unique_ptr<ProjectWriteLock> m_lock;
};
