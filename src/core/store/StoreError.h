#pragma once

#include <QString>
#include <stdexcept>

// An error reported by the store. Every handler entry point catches it (see Guard.h on the UI side),
// shows the generic error report and abandons the command in progress.
class StoreError : public std::runtime_error {
public:
    // ReadOnly: the book exists and could be read, but its file, folder or disk cannot be written.
    enum class Kind { Other, Duplicate, CannotOpen, ReadOnly };

    explicit StoreError(const QString& message, Kind kind = Kind::Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}

    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }

private:
    QString m_message;
    Kind m_kind;
};
