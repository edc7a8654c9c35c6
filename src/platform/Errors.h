#pragma once
// Exceptions shared by every layer.
#include <QString>
#include <stdexcept>

// Ends the current user action without any further notice. The error hook ignores it.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// An error with a user-facing (Portuguese) message.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A refused value or missing entry: the user corrects it and tries again. Shown as a warning
// with the system caption, never reported as a fault.
class ValidationError : public AppError {
public:
    using AppError::AppError;
};
