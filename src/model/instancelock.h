// Keeps the program to a single running instance per data folder: the first
// instance holds a lock file there; a second one is told and ends. A lock
// left by an instance that died is taken over.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace ledsign {

class InstanceLock {
public:
    enum class Status {
        Acquired,        // this instance is the only one
        AlreadyRunning,  // another live instance holds the lock
        Error,           // the lock file could not be made (folder not writable)
    };

    explicit InstanceLock(const QString& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Tries once, without waiting.
    Status tryLock();
    void unlock();
    bool isLocked() const;

    QString lockFilePath() const { return path_; }
    // Which program holds the lock, for the message of a second instance:
    // "ledsignd (process 1234)", with the host when it is another; empty
    // when nobody holds it or the lock file says nothing.
    QString holderText() const;
    QString errorString() const { return error_; }

    static constexpr char kFileName[] = "ledsign.lock";

private:
    QString path_;
    QString error_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace ledsign
