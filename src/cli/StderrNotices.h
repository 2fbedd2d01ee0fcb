#pragma once

#include "base/Notices.h"

// The CLI's notices: every message on stderr, one per line.
class StderrNotices : public Notices {
public:
    void notice(const QString &text) override;
    void error(const QString &text) override;
    void generalError(const QString &text) override;
    // Nobody answers on the command line: the text is printed and the answer is No.
    bool confirm(const QString &text) override;
};
