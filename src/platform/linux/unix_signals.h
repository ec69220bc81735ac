#pragma once

#include "platform/termination.h"

#include <csignal>

class QSocketNotifier;

namespace gridvane {

// SIGTERM and SIGINT as termination requests, for as long as the object lives; the handlers
// that were in place before come back with its end. One object at a time takes the signals.
class UnixSignals : public Termination
{
    Q_OBJECT

public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

private:
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previousTerm = {};
    struct sigaction m_previousInt = {};
};

} // namespace gridvane
