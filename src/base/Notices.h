#pragma once

#include <QString>

// How messages reach the user: the windows show boxes, the CLI prints, tests record.
class Notices {
public:
    virtual ~Notices() = default;
    // Plain notice titled with the application title.
    virtual void notice(const QString &text) = 0;
    // Error box titled "Error".
    virtual void error(const QString &text) = 0;
    // Failures that no step catches: a conversion or file error that ends the operation.
    virtual void generalError(const QString &text) = 0;
    // A Yes/No question, No by default; true for Yes.
    virtual bool confirm(const QString &text) = 0;
};
