#pragma once
// One window per user: the first start holds a lock file in the user's runtime folder, a second start
// finds it held and ends. A lock left by a program that crashed is taken over (QLockFile checks whether
// its owner still runs).

#include <QString>

#include <memory>

class QLockFile;

namespace varnel::ui {

class SingleInstance
{
public:
    // The lock file of this user's instance.
    static QString defaultLockPath();

    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the only instance; the lock is then held until destruction.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace varnel::ui
