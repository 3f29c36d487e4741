#pragma once

#include <QString>

class QWidget;

// Starts the game in a folder the way GameFinder::launchPlan chooses (Steam,
// else Wine). When no way is found or the start fails, a message says what was
// tried and how to start the game by hand; it never fails silently.
namespace GameRun {

void start(QWidget *parent, const QString &gameFolder);

} // namespace GameRun
