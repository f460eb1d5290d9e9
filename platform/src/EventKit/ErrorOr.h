// Results that carry why they failed, for the callers that act on it: what the
// store does with its index or with a calendar file follows the kind of the
// failure, never the words of its message, which are only for the log.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace eventkit {

struct StoreError {
    enum class Kind {
        // The calendar index.
        Busy, // another process held it past the busy time-out
        ReadOnly, // it, or its folder, refuses to be written
        CannotOpen, // no database can be opened where it should be
        Corrupt, // damaged, or no SQLite database
        ForeignVersion, // of another schema version
        Failed, // any other failure of the database (a full disk, an I/O error)
        // Calendar files and folders.
        Unreadable, // cannot be opened, read or listed
        NotRegular, // a FIFO, a device, a folder where an item should be
        NotICalendar, // its text is no iCalendar
        Unpaired, // its BEGIN and END lines do not pair up
        Malformed, // an item the store cannot use
    };

    Kind kind;
    std::string message; // one line for the log, without the file's name

    // A database that refused a write is left as it is: it is sound, only
    // taken or protected for now.
    bool refusedWriting() const { return kind == Kind::Busy || kind == Kind::ReadOnly; }
};

// A value, or why there is none.
template <typename T> class [[nodiscard]] ErrorOr {
public:
    ErrorOr(T value)
        : content_(std::in_place_index<0>, std::move(value))
    {
    }
    ErrorOr(StoreError error)
        : content_(std::in_place_index<1>, std::move(error))
    {
    }

    explicit operator bool() const { return content_.index() == 0; }
    T& value() & { return std::get<0>(content_); }
    const T& value() const& { return std::get<0>(content_); }
    T&& value() && { return std::get<0>(std::move(content_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const StoreError& error() const& { return std::get<1>(content_); }
    StoreError&& error() && { return std::get<1>(std::move(content_)); }

private:
    std::variant<T, StoreError> content_;
};

// Done, or why not.
template <> class [[nodiscard]] ErrorOr<void> {
public:
    ErrorOr() = default;
    ErrorOr(StoreError error)
        : error_(std::move(error))
        , failed_(true)
    {
    }

    explicit operator bool() const { return !failed_; }
    void value() const { }
    const StoreError& error() const& { return error_; }
    StoreError&& error() && { return std::move(error_); }

private:
    StoreError error_ { StoreError::Kind::Failed, {} };
    bool failed_ = false;
};

} // namespace eventkit

// The value of an ErrorOr, or a return of its error from the calling function
// (which returns an ErrorOr too).
#define TRY(expression)                                                                                                \
    __extension__({                                                                                                    \
        auto&& tried_ = (expression);                                                                                  \
        if (!tried_)                                                                                                   \
            return std::move(tried_).error();                                                                          \
        std::move(tried_).value();                                                                                     \
    })
