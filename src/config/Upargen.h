#pragma once

#include "config/Pargen.h"

#include <QDialog>

struct AppContext;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "SET COMMUNICATION": node addresses, baud rates, SDO time-out and start-up
// behaviour, kept in the project's pargen.xml.
class TFpargen : public QDialog {
    Q_OBJECT
public:
    explicit TFpargen(AppContext &context, QWidget *parent = nullptr);

    // The range checks of OK; shows the first failing one's message.
    bool ValidateCommunication();
    // What the controls hold, as it would be saved.
    PargenValues values() const;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void BitBtn1Click();

private:
    void FormShow();
    void setValues(const PargenValues &values);
    QWidget *field(PargenField field) const;

    AppContext &m_ctx;
    QLineEdit *m_canDevId;
    QComboBox *m_canBaud;
    QCheckBox *m_opeDev;
    QCheckBox *m_opeNet;
    QSpinBox *m_opeTimeOut;
    QLineEdit *m_netDevId;
    QComboBox *m_netBaud;
    QLineEdit *m_timeOutSdo;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
