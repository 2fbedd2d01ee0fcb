#pragma once

#include <QString>

// Where MASTER, PROJECTS and the last-project file live. Paths use the platform's
// separator and carry no trailing separator.
struct ProgramFolders {
    // The folder that holds the other three.
    QString DataDir;
    QString MasterDir;
    QString ProjectsDir;
    QString LastProjectFile;
    // False when DataDir is the user's data folder rather than the program's folder.
    bool besideProgram = true;
};

// Beside the program when its folder takes new files and is not an installed
// prefix (a bin folder next to share/tessiro); otherwise in the user's data folder,
// which is created here when missing. MASTER and PROJECTS are left to the caller.
ProgramFolders programFolders(const QString &exeDir);

// A file that ships with the program (the help file, the flash tool): beside the
// executable, else in the installed data folder. Found in neither, the path beside
// the executable, so that the caller's "not found" points where it looked first.
QString shippedFile(const QString &exeDir, const QString &name);

// <prefix>/share/tessiro for an executable in <prefix>/bin.
QString installedDataDir(const QString &exeDir);

// The user's own folder for the program's data, the same for every user interface.
QString userDataDir();

// Whether a file can be created in dir, found by creating one: permission bits do
// not stop root and do not show a read-only mount.
bool canCreateFilesIn(const QString &dir);
