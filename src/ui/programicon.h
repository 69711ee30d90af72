#pragma once

#include <QIcon>

// The program's icon: a small aircraft over a fare tag, drawn at 16 and 32 px.
QIcon ProgramIcon();
