#include "core/clock.h"

namespace {

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

const SystemClock systemClock;
const Clock* installedClock = nullptr;

} // namespace

const Clock& Clock::current()
{
    return installedClock ? *installedClock : systemClock;
}

void Clock::setCurrent(const Clock* clock)
{
    installedClock = clock;
}
