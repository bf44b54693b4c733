#include "survey/placedannotations.h"

#include "base/datetimedays.h"
#include "survey/measurement.h"

#include <algorithm>
#include <limits>

namespace PlacedAnnotations {

QPoint shiftedPosition(QPoint mouse, int drawingMode)
{
    switch (drawingMode) {
    case TextMode:
        return mouse + QPoint(1, 7);
    case CrossMode:
        return mouse + QPoint(15, 15);
    default:
        return mouse;
    }
}

int place(Measurement &chart, int &counter, int type, double x, double y, const QString &text)
{
    const int highest = chart.annotations.empty() ? 0 : chart.annotations.rbegin()->first;
    const int last = std::max({ counter, highest, ClearedCounter - 1 });
    if (last < std::numeric_limits<int>::max()) {
        counter = last + 1;
    } else { // a file's mark at the last index: the lowest free index after the marker
        counter = ClearedCounter;
        while (chart.annotations.count(counter))
            ++counter;
    }
    GraphAnnotation &a = chart.annotations[counter];
    a.type = type == CrossType ? CrossType : TextType;
    a.x = x;
    a.y = y;
    a.text = a.type == CrossType ? QString() : text;
    a.color = Qt::black;
    return counter;
}

bool isPlaced(const Measurement &chart, int index)
{
    const auto found = chart.annotations.find(index);
    if (index < ClearedCounter || found == chart.annotations.end())
        return false;
    return found->second.type == CrossType || !found->second.text.isEmpty();
}

std::vector<Row> listed(const Measurement &chart)
{
    std::vector<Row> rows;
    for (auto it = chart.annotations.lower_bound(ClearedCounter); it != chart.annotations.end();
         ++it) {
        const GraphAnnotation &a = it->second;
        if (!isPlaced(chart, it->first))
            continue;
        // One rounding to the second, as every time the graph windows show.
        rows.push_back({ it->first, DateTimeDays::RoundedTimeText(a.x),
                         a.type == CrossType ? QStringLiteral("X") : a.text });
    }
    return rows;
}

void erase(Measurement &chart, int index)
{
    const auto found = chart.annotations.find(index);
    if (found == chart.annotations.end())
        return;
    found->second.type = TextType;
    found->second.text.clear();
}

void clear(Measurement &chart, int &counter)
{
    auto &all = chart.annotations;
    all.erase(all.lower_bound(ClearedCounter), all.end());
    counter = ClearedCounter;
}

} // namespace PlacedAnnotations
