// One running korva per user: a lock file in the user's runtime folder, held for the life of
// the program and released by the system if the program dies.
#pragma once

#include <QLockFile>
#include <QString>

class SingleInstance {
public:
    // The lock in `folder`; by default the user's runtime folder.
    explicit SingleInstance(const QString& folder = {});

    // True when another instance holds the lock.
    bool AnotherIsRunning();

private:
    QLockFile lock_;
};
