#include "config/Upargen.h"

#include "base/GuardedCall.h"
#include "config/Messages.h"
#include "project/AppContext.h"
#include "project/ParseIntText.h"
#include "project/ProjectLock.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace {

const QString IdDevCaption = QStringLiteral("ID Dev.");
const QString BaudRateCaption = QStringLiteral("Baud rate");

QComboBox *baudList(const QStringList &rates, const char *name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(rates);
    // The list also takes typed text; a text not in the list selects nothing.
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    return list;
}

QLineEdit *textField(const char *name, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QLabel *buddyLabel(const QString &text, const char *name, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

// Position in the list of the text shown, -1 when it is not one of the items.
int selectedIndex(const QComboBox *list)
{
    return list->findText(list->currentText(), Qt::MatchFixedString);
}

void selectIndex(QComboBox *list, qint32 index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? int(index) : -1);
}

} // namespace

TFpargen::TFpargen(AppContext &context, QWidget *parent) : QDialog(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("TFpargen"));
    setWindowTitle(ConfigMessages::PargenCaption);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyTessiroStyle(this);
    setFixedSize(250, 324);

    auto *canGroup = new QGroupBox(QStringLiteral("CANopen"), this);
    canGroup->setObjectName(QStringLiteral("GB_CANopen"));
    m_canDevId = textField("Ed_CanDevId", canGroup);
    m_canBaud = baudList(canBaudRates(), "CB_CanBaud", canGroup);
    m_opeDev = new QCheckBox(QStringLiteral("Set Operational State at Start-up"), canGroup);
    m_opeDev->setObjectName(QStringLiteral("CB_OpeDev"));
    m_opeNet = new QCheckBox(QStringLiteral("Network Start at Start-up"), canGroup);
    m_opeNet->setObjectName(QStringLiteral("CB_OpeNet"));
    m_opeTimeOut = new QSpinBox(canGroup);
    m_opeTimeOut->setObjectName(QStringLiteral("SE_OpeNetTimeOut"));
    m_opeTimeOut->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    m_opeTimeOut->setSingleStep(1);
    auto *delayRange = new QLabel(QStringLiteral("0-255 sec."), canGroup);
    delayRange->setObjectName(QStringLiteral("Lb_DelayRange"));

    auto *canForm = new QFormLayout;
    canForm->addRow(buddyLabel(IdDevCaption, "Lb_CanDevId", m_canDevId, canGroup), m_canDevId);
    canForm->addRow(buddyLabel(BaudRateCaption, "Lb_CanBaud", m_canBaud, canGroup), m_canBaud);
    auto *canLayout = new QVBoxLayout(canGroup);
    canLayout->setContentsMargins(6, 4, 6, 4);
    canLayout->setSpacing(3);
    canLayout->addLayout(canForm);
    canLayout->addWidget(m_opeDev);
    canLayout->addWidget(m_opeNet);
    auto *delayRow = new QHBoxLayout;
    delayRow->addWidget(buddyLabel(QStringLiteral("Delay"), "Lb_OpeNetTimeOut", m_opeTimeOut, canGroup));
    delayRow->addWidget(m_opeTimeOut, 1);
    delayRow->addWidget(delayRange);
    canLayout->addLayout(delayRow);

    auto *netGroup = new QGroupBox(QStringLiteral("DeviceNET"), this);
    netGroup->setObjectName(QStringLiteral("GB_DeviceNET"));
    m_netDevId = textField("Ed_NetDevId", netGroup);
    m_netBaud = baudList(netBaudRates(), "CB_NetBaud", netGroup);
    auto *netForm = new QFormLayout(netGroup);
    netForm->setContentsMargins(6, 4, 6, 4);
    netForm->setVerticalSpacing(3);
    netForm->addRow(buddyLabel(IdDevCaption, "Lb_NetDevId", m_netDevId, netGroup), m_netDevId);
    netForm->addRow(buddyLabel(BaudRateCaption, "Lb_NetBaud", m_netBaud, netGroup), m_netBaud);

    m_timeOutSdo = textField("Ed_TimeOutSdo", this);
    auto *timeOutForm = new QFormLayout;
    timeOutForm->addRow(buddyLabel(QStringLiteral("TimeOut SDO (1/10 ms)"), "Lb_TimeOutSdo", m_timeOutSdo, this),
                        m_timeOutSdo);

    QHBoxLayout *buttons = okCancelStrip(this, &m_ok, &m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(canGroup);
    layout->addWidget(netGroup);
    layout->addLayout(timeOutForm);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(m_canDevId, m_canBaud);
    setTabOrder(m_canBaud, m_opeDev);
    setTabOrder(m_opeDev, m_opeNet);
    setTabOrder(m_opeNet, m_opeTimeOut);
    setTabOrder(m_opeTimeOut, m_netDevId);
    setTabOrder(m_netDevId, m_netBaud);
    setTabOrder(m_netBaud, m_timeOutSdo);
    setTabOrder(m_timeOutSdo, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &TFpargen::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFpargen::showEvent(QShowEvent *event)
{
    // A window coming back from the task bar keeps what is being typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFpargen::FormShow()
{
    if (QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    const Loaded<PargenValues> loaded = loadPargen(m_ctx.project().ProjectFiles.PargenPath);
    setValues(loaded.value);
    m_canDevId->setFocus();
    showOnceShown(this, m_ctx.notices, &Notices::error, loaded.problems);
}

void TFpargen::setValues(const PargenValues &values)
{
    m_canDevId->setText(values.Can_Dev_Id);
    selectIndex(m_canBaud, values.Can_Baud);
    m_netDevId->setText(values.Net_Dev_Id);
    selectIndex(m_netBaud, values.Net_Baud);
    m_timeOutSdo->setText(values.Time_Out_SDO);
    m_opeDev->setChecked(values.Ope_Dev);
    m_opeNet->setChecked(values.Ope_Net);
    m_opeTimeOut->setValue(values.Ope_TimeOut);
}

PargenValues TFpargen::values() const
{
    PargenValues values;
    values.Can_Dev_Id = m_canDevId->text();
    values.Can_Baud = selectedIndex(m_canBaud);
    values.Net_Dev_Id = m_netDevId->text();
    values.Net_Baud = selectedIndex(m_netBaud);
    values.Time_Out_SDO = m_timeOutSdo->text();
    values.Ope_Dev = m_opeDev->isChecked();
    values.Ope_Net = m_opeNet->isChecked();
    values.Ope_TimeOut = ParseIntText(m_opeTimeOut->cleanText(), 0);
    return values;
}

QWidget *TFpargen::field(PargenField field) const
{
    switch (field) {
    case PargenField::CanDevId:
        return m_canDevId;
    case PargenField::NetDevId:
        return m_netDevId;
    case PargenField::TimeOutSdo:
        return m_timeOutSdo;
    case PargenField::CanBaud:
        return m_canBaud;
    case PargenField::NetBaud:
        return m_netBaud;
    case PargenField::OpeTimeOut:
        return m_opeTimeOut;
    }
    return m_canDevId;
}

bool TFpargen::ValidateCommunication()
{
    const QList<PargenFailure> failures = pargenFailures(values());
    if (failures.isEmpty())
        return true;
    // The cursor goes to the refused field before the message shows.
    QWidget *field = this->field(failures.first().field);
    field->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    else if (auto *list = qobject_cast<QComboBox *>(field); list && list->lineEdit())
        list->lineEdit()->selectAll();
    else if (auto *spin = qobject_cast<QSpinBox *>(field))
        spin->selectAll();
    m_ctx.notices.error(failures.first().message);
    return false;
}

void TFpargen::BitBtn1Click()
{
    guardedCall(m_ctx.notices, [this] {
        // A refused value stays on screen to be corrected.
        if (!ValidateCommunication())
            return;
        const ProjectWriteLock lock(m_ctx.project().ProjectDir);
        savePargen(m_ctx.project().ProjectFiles.PargenPath, values());
        accept();
    });
}
