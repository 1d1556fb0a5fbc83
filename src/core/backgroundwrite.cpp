#include "core/backgroundwrite.h"

#include <system_error>
#include <utility>

BackgroundWrite BackgroundWrite::failed(QString error)
{
    BackgroundWrite write;
    write.m_started = true;
    write.m_error = std::move(error);
    return write;
}

BackgroundWrite BackgroundWrite::start(Write write)
{
    BackgroundWrite started;
    started.m_started = true;
    try {
        // A copy: the function may be gone when making the thread fails.
        started.m_running = std::async(std::launch::async, write);
    } catch (const std::system_error&) {
        started.m_error = write();
    }
    return started;
}

BackgroundWrite& BackgroundWrite::operator=(BackgroundWrite&& other) noexcept
{
    if (this != &other) {
        if (m_running.valid())
            m_running.wait();
        m_started = std::exchange(other.m_started, false);
        m_error = std::move(other.m_error);
        m_running = std::move(other.m_running);
    }
    return *this;
}

void BackgroundWrite::wait()
{
    if (m_running.valid())
        m_error = m_running.get();
}

BackgroundWrite::~BackgroundWrite()
{
    // Reached without finish() only while an exception unwinds: the write's own is dropped.
    if (m_running.valid())
        m_running.wait();
}

QString BackgroundWrite::finish()
{
    wait();
    return std::exchange(m_error, QString());
}
