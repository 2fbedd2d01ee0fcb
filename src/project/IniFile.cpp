#include "project/IniFile.h"

#include "base/AtomicFile.h"

#include <QFile>
#include <QStringList>

namespace {

QString sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return {};
}

bool isSectionLine(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.indexOf(u']') > 0;
}

bool isKeyLine(const QString &line, const QString &key)
{
    const QString t = line.trimmed();
    if (t.startsWith(u';') || t.startsWith(u'#'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    return eq > 0 && t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

QString keyValue(const QString &line)
{
    QString v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

QString readIniValue(const QString &path, const QString &section, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    bool inSection = false;
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (isSectionLine(line))
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
        else if (inSection && isKeyLine(line, key))
            return keyValue(line);
    }
    return {};
}

bool writeIniValue(const QString &path, const QString &section, const QString &key, const QString &value,
                   QString *error)
{
    QByteArray original;
    {
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly)) {
                if (error)
                    *error = file.errorString();
                return false;
            }
            original = file.readAll();
        }
    }

    const QString eol = original.contains("\r\n") || original.isEmpty() ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = QString::fromUtf8(original).split(eol);
    const bool endedWithBreak = original.isEmpty() || lines.back().isEmpty();
    if (endedWithBreak)
        lines.removeLast();

    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && keyAt < 0; ++i) {
        const QString &line = lines[i];
        if (isSectionLine(line)) {
            if (inSection)
                break;
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                sectionAt = lastInSection = i;
        } else if (inSection) {
            if (isKeyLine(line, key))
                keyAt = i;
            else if (!line.trimmed().isEmpty())
                lastInSection = i;
        }
    }

    if (keyAt >= 0) {
        const QString &old = lines[keyAt];
        lines[keyAt] = old.left(old.indexOf(u'=')).trimmed() + u'=' + value;
    } else if (sectionAt >= 0) {
        lines.insert(lastInSection + 1, key + u'=' + value);
    } else {
        lines << u'[' + section + u']' << key + u'=' + value;
    }

    QString text = lines.join(eol);
    if (endedWithBreak || keyAt < 0)
        text += eol;
    return writeFileAtomically(path, text.toUtf8(), error);
}
