#pragma once

#include "support/TestSupport.h"

#include <QString>
#include <functional>

class QWidget;

// Runs action on the next modal window that opens (polled from the event loop),
// so a test can drive a dialog that a click opens with exec().
void whenModalOpens(std::function<void(QWidget *modal)> action, int timeoutMs = 5000);

// Closes the current modal window the way its Cancel/Escape would.
void closeModal(QWidget *modal);
