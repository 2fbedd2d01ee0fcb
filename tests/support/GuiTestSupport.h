#pragma once

#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class QWidget;

// Recording seams and a project store, handed to windows as ctx.
struct TestContext {
    RecordingNotices notices;
    ScriptedChooser chooser;
    RecordingLauncher launcher;
    ProjectStore store;
    AppContext ctx{notices, chooser, launcher, store};
};

// A TestContext whose store has started in a fresh temporary folder and made the
// project "P" there, as "New project" leaves it. A project that cannot be made
// fails the current test.
struct ProjectTestContext : TestContext {
    ProjectTestContext();
    QTemporaryDir folder;
};

// Shows window, waits until it is active and lets the notices it defers to then through.
void showActive(QWidget *window);

// Runs action on the next modal window that opens (polled from the event loop),
// so a test can drive a dialog that a click opens with exec().
void whenModalOpens(std::function<void(QWidget *modal)> action, int timeoutMs = 5000);

// Closes the current modal window the way its Cancel/Escape would.
void closeModal(QWidget *modal);

// The child named name; a test that cannot find it stops at once, naming it.
template <typename T> T *requireChild(const QObject *parent, const char *name)
{
    T *child = parent->findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}
