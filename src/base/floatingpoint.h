#pragma once

// The "discard floating error" option.
//
// Hardware floating-point traps are never unmasked: in C++ a trap kills the process. Instead,
// arithmetic that the program's rules say may "fail" is checked afterwards: a result that is
// not finite, or a pending invalid-operation, division-by-zero or overflow flag, is a failure.
// With the option off such a failure is reported as an error; with it on the infinity or NaN is
// passed on as it is.
class FloatingPointOption
{
public:
    explicit FloatingPointOption(bool discard = false)
        : m_discard(discard)
    {
    }

    bool discard() const { return m_discard; }
    // Turning the option off clears the pending exception flags.
    void setDiscard(bool discard);

    // Clears the pending flags before a calculation that is to be checked.
    static void clearFlags();
    // True when the flags show an invalid operation, a division by zero or an overflow.
    static bool faultPending();

    // True when a calculation that produced result must be reported as failed: the option is
    // off and the result is not finite or a fault is pending. Clears the pending flags.
    bool failed(double result) const;

private:
    bool m_discard;
};
