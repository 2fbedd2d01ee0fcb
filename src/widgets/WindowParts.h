#pragma once

#include <QLabel>
#include <QObject>
#include <QStringList>
#include <functional>

class Notices;
class QListWidget;
class QWidget;
struct AppContext;
struct ProjectState;

// Shows texts through show (Notices::notice or Notices::error) once window is up,
// so that they sit in front of it rather than before it.
void showOnceShown(QWidget *window, Notices &notices, void (Notices::*show)(const QString &), const QStringList &texts);

// Runs write for the open project under the project's write lock. No project
// open (noProject is shown then), a busy project or a failed write is shown, and
// the window stays open.
void writeIntoProject(AppContext &ctx, const QString &noProject,
                      const std::function<void(const ProjectState &project)> &write);

// A list "clicked": picked with the keyboard, or released over an item. A mouse
// press that moves the current item waits for its release, so one click acts once.
class ListPick : public QObject {
public:
    ListPick(QListWidget *list, std::function<void()> picked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_list;
    std::function<void()> m_picked;
    bool m_pressed = false;
};

// The line under a window's content that says what the last action did. Screen
// readers get it as a notification named by its text, read out each time say()
// puts a text there.
class StatusLine : public QLabel {
public:
    explicit StatusLine(QWidget *parent);
    void say(const QString &text);
};
