#pragma once

#include <QString>

#include <string_view>

// A text of the kind table (a caption, a name, an element) as Qt text.
inline QString qText(std::string_view tableText)
{
    return QString::fromUtf8(tableText.data(), qsizetype(tableText.size()));
}
