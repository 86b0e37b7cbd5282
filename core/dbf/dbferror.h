#pragma once
// Errors of the table engine: a file that cannot be read, written or locked, a header that
// contradicts itself, a value that does not fit its field. Every error names the file and
// what is wrong with it, so that the dataset above can pass one clear message on.

#include <stdexcept>
#include <string>

namespace velmora::core::dbf {

class DbfError : public std::runtime_error {
public:
    DbfError(std::string file, std::string reason)
        : std::runtime_error(file.empty() ? reason : file + ": " + reason), m_file(std::move(file)),
          m_reason(std::move(reason)) {}
    const std::string& File() const { return m_file; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_file;
    std::string m_reason;
};

} // namespace velmora::core::dbf
