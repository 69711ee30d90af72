#pragma once

// Shared helpers for the test programs.

#include <QByteArray>

namespace testsupport {

// Renders bytes with NUL shown as "~" so failures read like the console.
QByteArray Tilde(QByteArray bytes);

} // namespace testsupport
