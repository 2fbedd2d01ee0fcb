#include "config/Pargen.h"

#include "base/TessiroError.h"
#include "config/Messages.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

const QStringList &canBaudRates()
{
    static const QStringList rates = {QStringLiteral("10K"),  QStringLiteral("20K"),  QStringLiteral("50K"),
                                      QStringLiteral("100K"), QStringLiteral("125K"), QStringLiteral("250K"),
                                      QStringLiteral("500K"), QStringLiteral("800K"), QStringLiteral("1000K")};
    return rates;
}

const QStringList &netBaudRates()
{
    static const QStringList rates = {QStringLiteral("125K"), QStringLiteral("250K"), QStringLiteral("500K")};
    return rates;
}

Loaded<PargenValues> loadPargen(const QString &path)
{
    Loaded<PargenValues> loaded;
    if (!QFileInfo::exists(path))
        return loaded;
    PargenValues *values = &loaded.value;
    auto stop = [&](const QString &problem) {
        loaded.problems << problem;
        return loaded;
    };

    pugi::xml_document doc;
    const Loaded<pugi::xml_node> file = loadProjectXml(path, doc);
    if (!file.ok())
        return stop(file.problems.constFirst());
    const pugi::xml_node root = file.value;
    QString error;
    const QString shown = QDir::toNativeSeparators(path);

    // The required elements, in reading order; reading stops at the first one that fails.
    auto text = [&](const char *name) -> std::optional<QString> {
        const pugi::xml_node node = root.child(name);
        if (!node) {
            error = ConfigMessages::MissingElement.arg(shown, QString::fromLatin1(name));
            return std::nullopt;
        }
        return fromXml(node.text().get());
    };
    auto integer = [&](const char *name) -> std::optional<qint32> {
        const auto t = text(name);
        if (!t)
            return std::nullopt;
        const auto value = tryParseIntText(*t);
        if (!value)
            error = ConfigMessages::ElementNotInteger.arg(shown, QString::fromLatin1(name), *t);
        return value;
    };

    const auto canId = text("Can_Dev_Id");
    if (!canId)
        return stop(error);
    values->Can_Dev_Id = *canId;
    const auto canBaud = integer("Can_Baud");
    if (!canBaud)
        return stop(error);
    values->Can_Baud = *canBaud;
    const auto netId = text("Net_Dev_Id");
    if (!netId)
        return stop(error);
    values->Net_Dev_Id = *netId;
    const auto netBaud = integer("Net_Baud");
    if (!netBaud)
        return stop(error);
    values->Net_Baud = *netBaud;
    const auto timeOut = text("Time_Out_SDO");
    if (!timeOut)
        return stop(error);
    values->Time_Out_SDO = *timeOut;

    // Optional: older files end after Time_Out_SDO.
    auto optional = [&](const char *name) { return ParseIntText(fromXml(root.child(name).text().get()), 0); };
    values->Ope_Dev = root.child("Ope_Dev") && optional("Ope_Dev") == 1;
    values->Ope_Net = root.child("Ope_Net") && optional("Ope_Net") == 1;
    values->Ope_TimeOut = optional("Ope_TimeOut");
    return loaded;
}

QByteArray pargenXml(const PargenValues &values)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    auto add = [&](const char *name, const QString &text) {
        root.append_child(name).text().set(text.toUtf8().constData());
    };
    add("Can_Dev_Id", values.Can_Dev_Id);
    add("Can_Baud", QString::number(values.Can_Baud));
    add("Net_Dev_Id", values.Net_Dev_Id);
    add("Net_Baud", QString::number(values.Net_Baud));
    add("Time_Out_SDO", values.Time_Out_SDO);
    add("Ope_Dev", values.Ope_Dev ? QStringLiteral("1") : QStringLiteral("0"));
    add("Ope_Net", values.Ope_Net ? QStringLiteral("1") : QStringLiteral("0"));
    add("Ope_TimeOut", QString::number(values.Ope_TimeOut));
    return projectXmlBytes(doc);
}

void savePargen(const QString &path, const PargenValues &values)
{
    saveProjectBytes(path, pargenXml(values));
}

QList<PargenFailure> pargenFailures(const PargenValues &values)
{
    QList<PargenFailure> failures;
    auto check = [&](PargenField field, qint32 value, qint32 low, qint32 high, const QString &message) {
        if (value < low || value > high)
            failures.append({field, message});
    };
    check(PargenField::CanDevId, ParseIntText(values.Can_Dev_Id, -1), 1, 127, ConfigMessages::CanAddressRange);
    check(PargenField::NetDevId, ParseIntText(values.Net_Dev_Id, -1), 1, 64, ConfigMessages::NetAddressRange);
    check(PargenField::TimeOutSdo, ParseIntText(values.Time_Out_SDO, -1), 0, 65535, ConfigMessages::TimeOutSdoRange);
    check(PargenField::CanBaud, values.Can_Baud, 0, qint32(canBaudRates().size()) - 1, ConfigMessages::CanBaudNotValid);
    check(PargenField::NetBaud, values.Net_Baud, 0, qint32(netBaudRates().size()) - 1, ConfigMessages::NetBaudNotValid);
    check(PargenField::OpeTimeOut, values.Ope_TimeOut, 0, 255, ConfigMessages::DelayRange);
    return failures;
}

QStringList communicationFailures(const PargenValues &values)
{
    QStringList messages;
    for (const PargenFailure &failure : pargenFailures(values))
        messages << failure.message;
    return messages;
}
