#pragma once

#include <QString>

#include <functional>
#include <future>

// A file write done on another thread while the caller goes on, for a save whose disk time
// (the sync above all) would otherwise add to what the user waits for. The write must only use
// what it was given: a copy of the table, which shares the rows until the table changes.
class BackgroundWrite final {
public:
    using Write = std::function<QString()>; // the error text, empty on success

    BackgroundWrite() = default;
    // Nothing is written; finish() returns `error`.
    static BackgroundWrite failed(QString error);
    // Starts `write` on its own thread; where no thread can be made, it is done here and now.
    static BackgroundWrite start(Write write);

    BackgroundWrite(BackgroundWrite&&) = default;
    BackgroundWrite& operator=(BackgroundWrite&& other) noexcept;
    BackgroundWrite(const BackgroundWrite&) = delete;
    BackgroundWrite& operator=(const BackgroundWrite&) = delete;
    // A write is never left running: the file it replaces may be read or written next.
    ~BackgroundWrite();

    bool isStarted() const { return m_started; }
    // Waits for the write and returns its error text (empty on success, and when none was started).
    QString finish();

private:
    void wait();

    bool m_started = false;
    QString m_error;
    std::future<QString> m_running;
};
