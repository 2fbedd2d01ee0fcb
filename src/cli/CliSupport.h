#pragma once

#include <QString>
#include <QStringList>

// What every command checks first. Both throw TessiroError with the message the
// user sees, caught once by the command runner.

// The command's arguments must be exactly count; usage is the line after "tessiro-cli ".
void requireArguments(const QStringList &args, qsizetype count, const char *usage);

// An existing project directory as an absolute native path without a trailing
// separator. A mistyped directory must not pass for an empty project.
QString requireProjectDir(const QString &arg);

// Paths main made from arguments that Qt could not name (bytes that are not
// UTF-8: such a file goes by a /proc/self/fd path), each with the name as given.
// Messages and printed names show that name.
void rememberGivenName(const QString &path, const QString &given);
// text with every remembered path replaced by its name as given.
QString shownAsGiven(QString text);
