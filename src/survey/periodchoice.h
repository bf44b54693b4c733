#pragma once

#include <QString>

#include <array>
#include <optional>

// The period of the "Periods" window: one of the list's (1, 5, 15 or 60 minutes) or a whole
// number of seconds the user types, from 1 to a day.
namespace PeriodChoice {

struct Item
{
    const char *text;
    int seconds;
};

inline constexpr std::array<Item, 4> Items {
    { { "1 minute", 60 }, { "5 minutes", 300 }, { "15 minutes", 900 }, { "60 minutes", 3600 } }
};
// 15 minutes.
inline constexpr int DefaultIndex = 2;

struct Parsed
{
    std::optional<int> seconds;
    QString error; // why the text names no period, when it does not
};

// A list item's text (as the box shows it), or a whole number of seconds from 1 to 86400;
// blanks around it are ignored.
Parsed parse(const QString &text);

// The list item's text for a period, or the number of seconds.
QString textOf(int seconds);

} // namespace PeriodChoice
