#pragma once

#include <QString>
#include <exception>

// A failure that ends the current operation; its text is shown to the user as it stands.
class TessiroError : public std::exception {
public:
    explicit TessiroError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
