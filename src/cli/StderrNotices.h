#pragma once

#include "base/Notices.h"

// The CLI's notices: every message on stderr, one per line.
class StderrNotices : public Notices {
public:
    void notice(const QString &text) override;
    void error(const QString &text) override;
    void generalError(const QString &text) override;
};
