#include "CodeTexts.h"

#include <QStringList>

namespace tintaro {
namespace {

QString html(const ColorSetRecord::Colors& scheme, ColorSetRecord::Field field)
{
    return ColorToHtml(scheme[std::size_t(field)]);
}

QString quotedHtml(const ColorSetRecord::Colors& scheme, ColorSetRecord::Field field)
{
    return QLatin1Char('"') + html(scheme, field) + QLatin1Char('"');
}

QString linkRule(const char* selector, const QString& color)
{
    return QLatin1String(selector) + QStringLiteral(" {color:") + color + QStringLiteral(";}");
}

} // namespace

QString CodeTexts::bodyTag(const ColorSetRecord::Colors& scheme)
{
    return QStringLiteral("<body BGCOLOR=") + quotedHtml(scheme, ColorSetRecord::Background) +
           QStringLiteral(" TEXT=") + quotedHtml(scheme, ColorSetRecord::Text) +
           QStringLiteral(" LINK=") + quotedHtml(scheme, ColorSetRecord::NormalLink) +
           QStringLiteral(" VLINK=") + quotedHtml(scheme, ColorSetRecord::VisitedLink) +
           QStringLiteral(" ALINK=") + quotedHtml(scheme, ColorSetRecord::ActiveLink) +
           QLatin1Char('>');
}

QString CodeTexts::externalCss(const ColorSetRecord::Colors& scheme)
{
    const QStringList lines{
        linkRule("a:link", html(scheme, ColorSetRecord::NormalLink)),
        linkRule("a:visited", html(scheme, ColorSetRecord::VisitedLink)),
        linkRule("a:active", html(scheme, ColorSetRecord::ActiveLink)),
        linkRule("a:hover", html(scheme, ColorSetRecord::HoverLink)),
        QStringLiteral("body {background-color:") + html(scheme, ColorSetRecord::Background) +
            QStringLiteral("; color:") + html(scheme, ColorSetRecord::Text) + QStringLiteral(";}")};
    return lines.join(QLatin1String(kLineEnd));
}

QString CodeTexts::inlineCss(const QString& externalCss)
{
    const QStringList lines{QStringLiteral("<style type=\"text/css\">"), QStringLiteral("<!--"),
                            externalCss, QStringLiteral("-->"), QStringLiteral("</style>")};
    return lines.join(QLatin1String(kLineEnd));
}

} // namespace tintaro
