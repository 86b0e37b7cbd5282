#pragma once
// Another copy of the program, as far as the files are concerned: a child process that holds
// an exclusive lock on a file until the object goes.

#include "core/filelock.h"

#include <QString>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::testing {

// Holds an exclusive lock on a file in a child process, as another copy of the program (or
// the table engine in it) holds a table it has open, until the object goes.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            core::FileLock lock;
            const char ok = lock.Acquire(path) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            char c;
            (void)!::read(m_release[0], &c, 1);
            ::_exit(0);
        }
        char ok = 0;
        m_holding = ::read(ready[0], &ok, 1) == 1 && ok == '1';
    }
    ~OtherProgram() {
        if (m_pid <= 0)
            return;
        (void)!::write(m_release[1], "x", 1);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    bool Holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    int m_release[2] = {-1, -1};
    bool m_holding = false;
};

} // namespace velmora::testing
