#pragma once

// What a session needs from the window that owns it. The session itself
// holds no widget; the main window implements this.

#include <QByteArrayView>
#include <QString>

class SessionOwner
{
public:
    virtual ~SessionOwner() = default;
    virtual void AddResultLine(QByteArrayView line) = 0;
    // An answer ended; elapsedMs counts from the start of the request's write.
    virtual void AnswerComplete(qint64 elapsedMs) = 0;
    // Every receive notification ends with this.
    virtual void ReceiveDone() = 0;
    virtual void EnableQueryButton(bool enable) = 0;
    virtual void Warn(const QString &text) = 0;
    virtual void Beep() = 0;
};
