#pragma once

#include "project/ProjectStore.h"
#include "shell/FileChooser.h"
#include "shell/Notices.h"
#include "shell/ProcessLauncher.h"

// What the windows need from the outside world, handed down from the program's start.
struct AppContext {
    Notices &notices;
    FileChooser &chooser;
    ProcessLauncher &launcher;
    ProjectStore &store;

    const ProjectState &project() const { return store.state(); }
};
