#pragma once

#include "ColorSetRecord.h"

#include <QString>

namespace tintaro {

// The three texts of the code view, made from the six colours of the sample
// page. Lines are joined by CR LF and no text ends with a line end, so that
// what the user copies pastes the same into any editor.
class CodeTexts
{
public:
    static constexpr const char* kLineEnd = "\r\n";

    // <body BGCOLOR="#RRGGBB" TEXT=... LINK=... VLINK=... ALINK=...>; the
    // hover colour has no attribute of its own.
    static QString bodyTag(const ColorSetRecord::Colors& scheme);

    // Five rules: the four link states, then the page's background and text.
    static QString externalCss(const ColorSetRecord::Colors& scheme);

    // `externalCss` inside a style block for the head of a page, hidden from
    // old browsers by a comment: nine lines for the usual five-line sheet.
    static QString inlineCss(const QString& externalCss);
};

} // namespace tintaro
