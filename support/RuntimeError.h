#pragma once
// The one exception type of the support classes: a run-time error number with
// its description, raised to the caller and never handled inside the class.

#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
public:
    // Run-time error numbers the support classes raise.
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        BadIndex = 666,
    };

    // An error with the given number; what() returns the description.
    RuntimeError(int number, const std::string &description)
        : std::runtime_error(description), errorNumber(number)
    {
    }

    // Error 5, "Invalid procedure call or argument".
    static RuntimeError invalidArgument() { return {InvalidArgument, "Invalid procedure call or argument"}; }
    // Error 6, "Overflow".
    static RuntimeError overflow() { return {Overflow, "Overflow"}; }
    // Error 9, "Subscript out of range".
    static RuntimeError subscriptOutOfRange() { return {SubscriptOutOfRange, "Subscript out of range"}; }
    // Error 666, "Bad Index".
    static RuntimeError badIndex() { return {BadIndex, "Bad Index"}; }

    // The error number (5, 6, 9 or 666 for the support classes).
    int number() const noexcept { return errorNumber; }
    // The description, the same text as what().
    std::string description() const { return what(); }

private:
    int errorNumber;
};
