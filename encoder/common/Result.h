#pragma once

#include <string>
#include <utility>
#include <variant>

// Why something could not be done, as the text the bridge prints.
struct Failure
{
    std::string why;
};

// A value, or the reason there is none.
template <typename T> class Result
{
public:
    Result(T value)
        : state_(std::move(value))
    {
    }
    Result(Failure failure)
        : state_(std::move(failure))
    {
    }

    explicit operator bool() const { return state_.index() == 0; }
    const T& operator*() const { return std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Empty when there is a value.
    const std::string& why() const
    {
        static const std::string none;
        return *this ? none : std::get<1>(state_).why;
    }

private:
    std::variant<T, Failure> state_;
};

// Done, or the reason it was not.
template <> class Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : why_(std::move(failure.why))
        , failed_(true)
    {
    }

    explicit operator bool() const { return !failed_; }
    const std::string& why() const { return why_; }

private:
    std::string why_;
    bool failed_ = false;
};
