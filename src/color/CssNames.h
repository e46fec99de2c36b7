#pragma once

#include "ColorValue.h"

#include <QStringList>

#include <optional>

namespace tintaro {

// CSS's 148 named colours, "transparent" left out: it has no colour.
// Nine colours have two names (aqua and cyan, gray and grey, ...); where a
// colour is given its name, it is the first of them alphabetically: "aqua",
// "fuchsia" and every "gray".
QStringList cssColorNames();

// Either letter case, as CSS reads names.
std::optional<ColorValue> namedColor(QStringView name);

std::optional<QString> exactName(ColorValue c);

struct NearestName
{
    QString name;
    ColorValue color;
    double deltaE; // in OKLab, 0 when exact
    bool exact;
};

// The named colour at the least OKLab distance.
NearestName nearestName(ColorValue c);

// The nearest name as plain text for scripts: the name alone when exact,
// else "~name (deltaE 0.012 in OKLab)".
QString nearestNameText(ColorValue c);

} // namespace tintaro
