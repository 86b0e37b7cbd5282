#pragma once
// Errors of the table engine: a file that cannot be read, written or locked, a header that
// contradicts itself, a value that does not fit its field. Every error names the file and
// what is wrong with it, so that the dataset above can pass one clear message on.

#include <stdexcept>
#include <string>

namespace velmora::core::dbf {

class DbfError : public std::runtime_error {
public:
    // systemError: the errno value of a failed system call (0 when the error is not one),
    // so that a caller can say it in the user's words.
    DbfError(std::string file, std::string reason, int systemError = 0)
        : std::runtime_error(file.empty() ? reason : file + ": " + reason), m_file(std::move(file)),
          m_reason(std::move(reason)), m_systemError(systemError) {}
    const std::string& File() const { return m_file; }
    const std::string& Reason() const { return m_reason; }
    int SystemError() const { return m_systemError; }

private:
    std::string m_file;
    std::string m_reason;
    int m_systemError = 0;
};

} // namespace velmora::core::dbf
