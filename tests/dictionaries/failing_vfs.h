#pragma once

// A file layer for the engine that passes everything to the ordinary one, except that while it
// is armed every write to a main database file fails with an I/O error, the way a full or
// failing disk would fail a commit. It is the default layer for as long as it lives.
class FailingVfs {
public:
    FailingVfs();
    ~FailingVfs();
    FailingVfs(const FailingVfs &) = delete;
    FailingVfs &operator=(const FailingVfs &) = delete;

    void arm(bool failWrites);
    int failedWrites() const;
};
