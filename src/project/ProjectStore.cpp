#include "project/ProjectStore.h"

#include "base/Paths.h"
#include "base/TessiroError.h"
#include "project/IniFile.h"
#include "project/Messages.h"
#include "project/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString IniSection = QStringLiteral("lastproj");
const QString IniKey = QStringLiteral("projectname");

QString separator()
{
    return QString(QDir::separator());
}

// PROJECTS-relative path of dir, or a null string when dir lies outside root.
QString relativeInside(const QString &root, const QString &dir)
{
    QFileInfo rootInfo(root);
    QFileInfo dirInfo(dir);
    const QString rootPath = rootInfo.exists() ? rootInfo.canonicalFilePath() : rootInfo.absoluteFilePath();
    const QString dirPath = dirInfo.exists() ? dirInfo.canonicalFilePath() : dirInfo.absoluteFilePath();
    const QString rel = QDir(rootPath).relativeFilePath(dirPath);
    if (rel == QLatin1String("."))
        return QStringLiteral("");
    if (rel.isEmpty() || rel == QLatin1String("..") || rel.startsWith(QLatin1String("../")) ||
        QDir::isAbsolutePath(rel))
        return {};
    return QDir::toNativeSeparators(rel);
}

// A name that stays one directory level below its parent.
bool isPlainName(const QString &name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}

// Why Windows would refuse name as a folder name, or a null string. Checked on
// every system: a project folder is copied between the Linux and Windows laptops
// of the same team, and one that Windows cannot hold would be lost on the way.
QString windowsNameProblem(const QString &name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return ProjectMessages::NameHasControlCharacter.arg(name);
        if (QStringView(u"<>:\"|?*").contains(c))
            return ProjectMessages::NameHasForbiddenCharacter.arg(name, c);
    }
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return ProjectMessages::NameEndsWithDotOrBlank.arg(name);
    // CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name devices, with any extension
    // and in any case ("aux.txt", "Com1 .x").
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL")};
    const bool numbered = stem.size() == 4 &&
                          (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
                          stem.at(3) >= u'1' && stem.at(3) <= u'9';
    if (devices.contains(stem) || numbered)
        return ProjectMessages::NameIsDevice.arg(name);
    return {};
}

} // namespace

ProjectFiles projectFiles(const QString &projectDir)
{
    auto path = [&projectDir](const char *name) { return joinPath(projectDir, QString::fromLatin1(name)); };
    ProjectFiles files;
    files.PargenPath = path("pargen.xml");
    files.SdoPath = path("sdo.xml");
    files.PdoPath = path("pdo.xml");
    files.EmcydefPath = path("emcydef.xml");
    files.EmcywordPath = path("emcyword.xml");
    files.RpdodefPath = path("rpdodef.xml");
    files.SdopdoPath = path("sdopdo.xml");
    files.SdotransPath = path("sdotrans.xml");
    files.StringsPath = path("strings.xml");
    files.BinDir = path("bin");
    files.m_projectDir = projectDir;
    return files;
}

QString ProjectFiles::csvPath(const QString &table) const
{
    return joinPath(m_projectDir, table + QStringLiteral(".csv"));
}

void ProjectState::UpdateProjectFiles()
{
    ProjectFiles = projectFiles(ProjectDir);
}

bool ProjectStore::startUp(const QString &appDir)
{
    ProjectState &s = m_state;
    s.AppDir = QDir::toNativeSeparators(appDir);
    while (s.AppDir.size() > 1 && s.AppDir.endsWith(separator()))
        s.AppDir.chop(1);

    const ProgramFolders folders = programFolders(s.AppDir);
    s.DataDir = folders.DataDir;
    s.MasterDir = folders.MasterDir;
    QDir().mkdir(s.MasterDir);
    s.ProjectsDir = folders.ProjectsDir;
    QDir().mkdir(s.ProjectsDir);

    s.ProjectName = readIniValue(folders.LastProjectFile, IniSection, IniKey);
    if (!s.ProjectName.isEmpty() && !s.ProjectName.startsWith(separator()))
        s.ProjectName.prepend(separator());

    bool restored = false;
    // Only a folder inside PROJECTS is restored: a hand-edited "..\x" must not lead elsewhere.
    if (!s.ProjectName.isEmpty() && QFileInfo(s.ProjectsDir + s.ProjectName).isDir() &&
        !relativeInside(s.ProjectsDir, s.ProjectsDir + s.ProjectName).isNull()) {
        s.ProjectDir = s.ProjectsDir + s.ProjectName;
        restored = true;
    } else {
        s.ProjectDir = s.ProjectsDir;
    }
    s.UpdateProjectFiles();
    return restored;
}

void ProjectStore::saveLastProject() const
{
    writeIniValue(joinPath(m_state.DataDir, LastProjectFileName), IniSection, IniKey, m_state.ProjectName);
}

QStringList ProjectStore::createProject(const QString &parent, const QString &name)
{
    QStringList refusals;
    if (parent.isEmpty())
        refusals << ProjectMessages::DestinationNotValid;
    if (name.isEmpty() || !isPlainName(name))
        refusals << ProjectMessages::NameNotValid;
    else if (const QString problem = windowsNameProblem(name); !problem.isNull())
        refusals << problem;
    if (!refusals.isEmpty())
        return refusals;

    const QString dir = joinPath(parent, name);
    if (QFileInfo::exists(dir))
        return {ProjectMessages::NameExists};
    // The file system may still refuse the name (reserved names, bad characters).
    if (!QDir().mkdir(dir) || !QFileInfo(dir).isDir())
        return {ProjectMessages::NameNotValid};
    QDir().mkpath(projectFiles(dir).BinDir);
    m_state.ProjectName = name;
    m_state.ProjectDir = dir;
    m_state.UpdateProjectFiles();
    return {};
}

QString ProjectStore::prepareOpen()
{
    if (!m_state.ProjectDir.isEmpty() && !QFileInfo(m_state.ProjectDir).isDir())
        m_state.ProjectDir.clear();
    return m_state.ProjectDir;
}

void ProjectStore::openChosen(const QString &chosen)
{
    ProjectState &s = m_state;
    if (!chosen.isEmpty()) {
        const QString rel = relativeInside(s.ProjectsDir, chosen);
        // PROJECTS/bin holds the bank files of the project that is PROJECTS itself.
        if (!rel.isNull() && rel != QLatin1String("bin"))
            s.ProjectDir = rel.isEmpty() ? s.ProjectsDir : joinPath(s.ProjectsDir, rel);
    }
    s.ProjectName = s.ProjectDir.size() > s.ProjectsDir.size() ? s.ProjectDir.mid(s.ProjectsDir.size()) : QString();
    s.UpdateProjectFiles();
}
