#pragma once

#include <QString>

namespace zelvan {

// The text without blanks and control characters (codes up to 32) at either end, as the
// program's own trimming has always cut them.
inline QString trimmedBlanksAndControls(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start).unicode() <= 32) ++start;
    while (end > start && text.at(end - 1).unicode() <= 32) --end;
    return text.mid(start, end - start);
}

}  // namespace zelvan
