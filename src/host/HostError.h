#pragma once

#include <QString>
#include <stdexcept>

namespace host {

// The one error type for failures the host would raise as a run-time error.
// Routines that trap failures catch this (and std::exception) in one place;
// everything else reaches the default error report.
class HostError : public std::runtime_error {
public:
    enum Code {
        Overflow = 6,
        TypeMismatch = 13,
        FileNotFound = 53,
        FileIo = 57,
        InvalidProperty = 380,
        General = 1000,
    };

    HostError(Code code, const QString &message)
        : std::runtime_error(message.toStdString()), m_code(code), m_message(message)
    {
    }

    Code code() const { return m_code; }
    QString message() const { return m_message; }

private:
    Code m_code;
    QString m_message;
};

} // namespace host
