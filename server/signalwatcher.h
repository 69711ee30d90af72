#pragma once

// Turns SIGINT and SIGTERM into a Qt signal, so that the event loop ends
// cleanly instead of the process dying inside it. The handler only writes a
// byte into a socket pair; the event loop reads it.

#include <QObject>

class QSocketNotifier;

class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
