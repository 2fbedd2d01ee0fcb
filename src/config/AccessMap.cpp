#include "config/AccessMap.h"

#include "base/TessiroError.h"
#include "config/Messages.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr MapDirection Directions[] = {MapDirection::In, MapDirection::Out};

QString hexCell(const QString &stored, int digits)
{
    const quint32 bits = quint32(ParseIntText(stored, 0));
    return QStringLiteral("$") + QString::number(bits, 16).toUpper().rightJustified(digits, u'0');
}

} // namespace

AccessMap::AccessMap(const AccessMapParams &params)
    : m_params(params), m_in(params, MapDirection::In), m_out(params, MapDirection::Out)
{
}

Loaded<AccessMap::ByteCounts> AccessMap::load(const QString &ownPath, const QString &otherPath)
{
    QStringList errors;
    OtherMapInBytes = 0;
    OtherMapOutBytes = 0;
    if (QFileInfo::exists(otherPath)) {
        const QString error = loadOther(otherPath);
        if (!error.isEmpty())
            errors << error;
    }
    m_in.clearAll();
    m_out.clearAll();
    if (QFileInfo::exists(ownPath)) {
        const QString error = loadOwn(ownPath);
        if (!error.isEmpty())
            errors << error;
    }
    return {.value = {OtherMapInBytes, OtherMapOutBytes}, .problems = errors};
}

QString AccessMap::loadOther(const QString &path)
{
    pugi::xml_document doc;
    const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
    if (!loaded.ok())
        return loaded.problems.constFirst();
    const pugi::xml_node root = loaded.value;
    const QString shown = QDir::toNativeSeparators(path);
    const QString attribute = QString::fromLatin1(m_params.otherSizeAttribute);
    for (MapDirection direction : Directions) {
        const char *listName = m_params.otherList(direction);
        const pugi::xml_node list = root.child(listName);
        if (!list)
            return ConfigMessages::MissingElement.arg(shown, QString::fromLatin1(listName));
        qint64 &total = direction == MapDirection::In ? OtherMapInBytes : OtherMapOutBytes;
        int rowNumber = 0;
        for (const pugi::xml_node &row : list.children()) {
            if (row.type() != pugi::node_element)
                continue;
            ++rowNumber;
            const pugi::xml_attribute size = row.attribute(m_params.otherSizeAttribute);
            if (!size)
                return ConfigMessages::MissingAttribute.arg(shown, QString::number(rowNumber),
                                                            QString::fromLatin1(listName), attribute);
            const QString text = fromXml(size.value());
            const auto value = tryParseIntText(text);
            if (!value)
                return ConfigMessages::AttributeNotInteger.arg(shown, QString::number(rowNumber),
                                                               QString::fromLatin1(listName), attribute, text);
            total += *value;
        }
    }
    return {};
}

QString AccessMap::loadOwn(const QString &path)
{
    pugi::xml_document doc;
    const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
    if (!loaded.ok())
        return loaded.problems.constFirst();
    const pugi::xml_node root = loaded.value;
    const QString shown = QDir::toNativeSeparators(path);
    for (MapDirection direction : Directions) {
        const char *listName = m_params.list(direction);
        const pugi::xml_node list = root.child(listName);
        if (!list)
            return ConfigMessages::MissingElement.arg(shown, QString::fromLatin1(listName));
        AccessMapModel &model = grid(direction);
        int row = 0;
        // Rows beyond the grid are neither shown nor counted.
        for (const pugi::xml_node &element : list.children()) {
            if (row >= m_params.rowsPerGrid)
                break;
            if (element.type() != pugi::node_element)
                continue;
            // A faulty row is left out whole.
            QStringList cells;
            for (const MapColumn &column : m_params.columns) {
                const pugi::xml_attribute attribute = element.attribute(column.attribute);
                if (!attribute)
                    return ConfigMessages::MissingAttribute.arg(shown, QString::number(row + 1),
                                                                QString::fromLatin1(listName),
                                                                QString::fromLatin1(column.attribute));
                const QString stored = fromXml(attribute.value());
                cells << (column.hexDigits > 0 ? hexCell(stored, column.hexDigits) : stored);
            }
            for (int c = 0; c < cells.size(); ++c)
                model.setCell(row, c + 1, cells[c]);
            ++row;
        }
    }
    return {};
}

qint64 AccessMap::usedBytes(MapDirection direction, const MapCellEdit *edit) const
{
    const qint64 other = direction == MapDirection::In ? OtherMapInBytes : OtherMapOutBytes;
    if (edit && edit->direction == direction)
        return other + grid(direction).presentSizeSum(edit->row, edit->column, edit->text);
    return other + grid(direction).presentSizeSum();
}

AccessMap::ByteCounts AccessMap::CountMapBytes(const MapCellEdit *edit) const
{
    return {usedBytes(MapDirection::In, edit), usedBytes(MapDirection::Out, edit)};
}

QList<AccessMap::Failure> AccessMap::failures(bool firstOnly) const
{
    QList<Failure> found;
    for (MapDirection direction : Directions) {
        const AccessMapModel &model = grid(direction);
        const int end = model.listEnd();
        for (int row = 0; row < end; ++row) {
            for (const AccessMapModel::RowFailure &failure : model.rowFailures(row, firstOnly)) {
                found.append({direction, row + 1, failure.column, failure.message});
                if (firstOnly)
                    return found;
            }
        }
        // Rows below the end of the saved list would vanish without a word.
        const int savedEnd = model.savedEnd();
        if (model.filledBelow(savedEnd)) {
            found.append(
                {direction, savedEnd + 1, m_params.keyColumn, ConfigMessages::ListEndsEarly.arg(savedEnd + 1)});
            if (firstOnly)
                return found;
        }
    }
    const ByteCounts counts = CountMapBytes();
    for (MapDirection direction : Directions) {
        if ((direction == MapDirection::In ? counts.in : counts.out) > MapByteBudget) {
            found.append({direction, 0, 0, m_params.budgetMessage(direction)});
            if (firstOnly)
                return found;
        }
    }
    return found;
}

QByteArray AccessMap::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(m_params.rootElement);
    for (MapDirection direction : Directions) {
        pugi::xml_node list = root.append_child(m_params.list(direction));
        const AccessMapModel &model = grid(direction);
        const int end = model.savedEnd();
        for (int row = 0; row < end; ++row) {
            pugi::xml_node element = list.append_child("row");
            for (const auto &[name, value] : m_params.fixedAttributes)
                element.append_attribute(name).set_value(value);
            for (int c = 0; c < m_params.columns.size(); ++c)
                element.append_attribute(m_params.columns[c].attribute)
                    .set_value(model.cell(row, c + 1).toUtf8().constData());
        }
    }
    return projectXmlBytes(doc);
}

void AccessMap::save(const QString &path) const
{
    saveProjectBytes(path, toXml());
}
