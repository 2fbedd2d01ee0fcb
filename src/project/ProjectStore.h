#pragma once

#include <QString>
#include <QStringList>

// Every path inside a project, each ProjectDir followed by its name. Built by
// projectFiles() alone, so a project file's name is spelled in one place.
struct ProjectFiles {
    QString PargenPath;
    QString SdoPath;
    QString PdoPath;
    QString EmcydefPath;
    QString EmcywordPath;
    QString RpdodefPath;
    QString SdopdoPath;
    QString SdotransPath;
    // The strings the string picker offers.
    QString StringsPath;
    // The bank files and the C source live here.
    QString BinDir;
    // Where a translation table's CSV export goes: ProjectDir/<table>.csv.
    QString csvPath(const QString &table) const;

private:
    friend ProjectFiles projectFiles(const QString &projectDir);
    QString m_projectDir;
};

ProjectFiles projectFiles(const QString &projectDir);

// The program-wide project state. Paths use the platform's separator and carry
// no trailing separator. An empty ProjectDir means there is no valid project.
struct ProjectState {
    QString AppDir;
    // Holds MASTER, PROJECTS and the last-project file: AppDir, or the user's data
    // folder when the program's folder is read-only or installed (programFolders).
    QString DataDir;
    QString MasterDir;
    QString ProjectsDir;
    QString ProjectName;
    QString ProjectDir;
    ::ProjectFiles ProjectFiles;

    void UpdateProjectFiles();
    bool hasValidProject() const { return !ProjectDir.isEmpty(); }
};

inline const QString LastProjectFileName = QStringLiteral("Tessiro_Brevik.ini");

// The only writer of ProjectState: start-up, exit, New project, Open project.
class ProjectStore {
public:
    const ProjectState &state() const { return m_state; }

    // Creates MASTER and PROJECTS where programFolders puts them and restores the last project.
    // Returns true when the remembered project was restored.
    bool startUp(const QString &appDir);

    // Stores ProjectName as the last project; throws TessiroError when the file cannot be written.
    void saveLastProject() const;

    // New project, as the name dialog's OK runs it: creates parent/name and makes it the
    // current project. Returns the refusals to show, in order; empty when it was created.
    QStringList createProject(const QString &parent, const QString &name);

    // Open project, first half: forgets a ProjectDir that no longer exists and
    // returns the folder to preselect (empty for none).
    QString prepareOpen();
    // Open project, second half: chosen is the folder picked, or empty when the
    // chooser was cancelled. A folder outside PROJECTS, or PROJECTS/bin, is treated as a cancel.
    void openChosen(const QString &chosen);

private:
    ProjectState m_state;
};
