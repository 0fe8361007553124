#pragma once

#include <QString>
#include <stdexcept>

namespace zelvan {

// The one error type of the program. Core code throws it (or a subclass) with a text
// that can be shown to the user as it stands; the general handler of the application
// shows it in a message box and the handler that raised it stops there.
class ZelvanError : public std::runtime_error {
public:
    explicit ZelvanError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}

    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

// Raised when the configuration file is missing, unreadable or not a text file.
class ConfigError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// Raised when a database statement fails; the message carries the engine's text.
class DatabaseError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

}  // namespace zelvan
