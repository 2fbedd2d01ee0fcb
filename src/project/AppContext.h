#pragma once

#include "base/FileChooser.h"
#include "base/Notices.h"
#include "base/ProcessLauncher.h"
#include "project/ProjectStore.h"

// What the windows need from the outside world, handed down from the program's start.
struct AppContext {
    Notices &notices;
    FileChooser &chooser;
    ProcessLauncher &launcher;
    ProjectStore &store;

    const ProjectState &project() const { return store.state(); }
};
