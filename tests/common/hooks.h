#pragma once

#include "platform/messages.h"
#include "platform/programexit.h"

#include <QList>

// Stands in for the user at every message box and for the program's hard
// exits: messages are recorded and answered with `answer`, exit codes are
// recorded and the test process lives on. Install once per test program.
struct UserHooks
{
    QList<Messages::Message> messages;
    QList<int> exits;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    void install()
    {
        Messages::setHook([this](const Messages::Message &m) {
            messages << m;
            return answer;
        });
        ProgramExit::setHook([this](int code) { exits << code; });
    }

    void clear()
    {
        messages.clear();
        exits.clear();
    }

    // The text of the last message, or empty.
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
