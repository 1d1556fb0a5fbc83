#pragma once

#include <QString>

// The lock of an open data set: the file tarnwick.dta in the data folder, held with an exclusive
// advisory lock while the data set is open. The system releases it when the process ends, so a
// crash leaves no stale lock.
class DataSetLock {
public:
    DataSetLock() = default;
    ~DataSetLock();
    DataSetLock(const DataSetLock&) = delete;
    DataSetLock& operator=(const DataSetLock&) = delete;

    enum class Result { Locked, HeldByOther, Failed };
    // Creates the lock file when missing and takes the lock. On Failed, error() says why.
    Result acquire(const QString& folder);
    void release();
    bool isHeld() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};
