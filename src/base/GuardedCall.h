#pragma once

#include "base/Notices.h"
#include "base/TessiroError.h"

#include <QString>
#include <exception>

// Runs a handler body and hands any failure to the general error display, so
// that no exception reaches the event loop. Returns false when it failed.
template <typename F> bool guardedCall(Notices &notices, F &&body)
{
    try {
        body();
        return true;
    } catch (const TessiroError &e) {
        notices.generalError(e.message());
    } catch (const std::exception &e) {
        notices.generalError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        notices.generalError(QStringLiteral("Unexpected error"));
    }
    return false;
}
