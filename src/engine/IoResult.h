#pragma once

#include <QString>

#include <utility>

// What reading or writing a file came to: the value on success, otherwise a
// sentence the user can read. Every codec and file operation returns one;
// the engine turns a failure into its errorOccurred signal, the windows and
// the batch tool show the sentence.
template<typename T>
struct IoResult
{
    T value{};
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }

    static IoResult success(T value) { return IoResult{ std::move(value), QString() }; }
    static IoResult failure(QString why)
    {
        IoResult result;
        result.error = why.isEmpty() ? QStringLiteral("?") : std::move(why);
        return result;
    }
};

// The value of an operation that has nothing to give back but success.
struct Done
{};

using IoStatus = IoResult<Done>;

inline IoStatus ioDone()
{
    return IoStatus::success(Done{});
}
