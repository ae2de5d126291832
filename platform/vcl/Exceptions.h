#pragma once
// The program's exception classes, in the framework's hierarchy: everything the program
// raises derives from Exception, whose Message is what the handler guard shows.
#include <QString>
#include <QByteArray>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(const QString& message) : m_message(message), m_utf8(message.toUtf8()) {}
    const QString& Message() const noexcept { return m_message; }
    void SetMessage(const QString& message)
    {
        m_message = message;
        m_utf8 = message.toUtf8();
    }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that is not a number (StrToInt, StrToFloat, integer words of list lines).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file or folder operation that failed; ErrorCode is the framework's I/O error number.
class EInOutError : public Exception {
public:
    EInOutError(const QString& message, int errorCode = 0) : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

// An index outside a string list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// An index outside another list.
class EListError : public Exception {
public:
    using Exception::Exception;
};
