#pragma once

#include <QString>

// Starts other programs and opens web pages and mails; never waits for them.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts program detached with parameters as its whole command line.
    // Throws TessiroError with the reason when the program cannot be started.
    virtual void startDetached(const QString &program, const QString &parameters) = 0;
    // Opens a web page or mailto: address with the desktop's default program.
    virtual void openUrl(const QString &url) = 0;
};
