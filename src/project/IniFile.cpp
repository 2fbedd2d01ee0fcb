#include "project/IniFile.h"

#include "base/AtomicFile.h"
#include "base/FileRead.h"
#include "base/TessiroError.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

namespace {

// A line ends at LF with an optional CR before it; each keeps its own ending, so a
// file with mixed endings is read and written back the same way.
struct IniLine {
    QString text;
    QString eol; // "\r\n", "\n" or empty for a last line without one
};

QList<IniLine> splitLines(const QString &all)
{
    QList<IniLine> lines;
    qsizetype from = 0;
    while (from < all.size()) {
        const qsizetype lf = all.indexOf(u'\n', from);
        if (lf < 0) {
            lines.append({all.mid(from), QString()});
            break;
        }
        const bool cr = lf > from && all[lf - 1] == u'\r';
        lines.append({all.mid(from, lf - from - (cr ? 1 : 0)), cr ? QStringLiteral("\r\n") : QStringLiteral("\n")});
        from = lf + 1;
    }
    return lines;
}

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
    // No file, or one that is not a plain INI file (a FIFO would block the start):
    // no remembered project.
    QByteArray bytes;
    try {
        bytes = readRegularFile(path);
    } catch (const TessiroError &) {
        return {};
    }
    bool inSection = false;
    for (const IniLine &line : splitLines(QString::fromUtf8(bytes))) {
        if (isSectionLine(line.text))
            inSection = sectionName(line.text).compare(section, Qt::CaseInsensitive) == 0;
        else if (inSection && isKeyLine(line.text, key))
            return keyValue(line.text);
    }
    return {};
}

void writeIniValue(const QString &path, const QString &section, const QString &key, const QString &value)
{
    const QByteArray original = QFileInfo::exists(path) ? readRegularFile(path) : QByteArray();

    QList<IniLine> lines = splitLines(QString::fromUtf8(original));
    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && keyAt < 0; ++i) {
        const QString &line = lines[i].text;
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

    // A line that is added takes the ending of the line before it; a new file gets CR LF.
    auto insertLine = [&lines](qsizetype at, const QString &text) {
        QString eol = QStringLiteral("\r\n");
        if (at > 0) {
            IniLine &before = lines[at - 1];
            if (before.eol.isEmpty())
                before.eol = at >= 2 && !lines[at - 2].eol.isEmpty() ? lines[at - 2].eol : eol;
            eol = before.eol;
        }
        lines.insert(at, IniLine{text, eol});
    };
    if (keyAt >= 0) {
        QString &old = lines[keyAt].text;
        old = old.left(old.indexOf(u'=')).trimmed() + u'=' + value;
    } else if (sectionAt >= 0) {
        insertLine(lastInSection + 1, key + u'=' + value);
    } else {
        insertLine(lines.size(), u'[' + section + u']');
        insertLine(lines.size(), key + u'=' + value);
    }

    QString text;
    for (const IniLine &line : lines)
        text += line.text + line.eol;
    writeFileAtomically(path, text.toUtf8());
}
