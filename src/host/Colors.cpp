#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace host {

namespace {

QPalette::ColorRole roleForSystemColor(quint32 index)
{
    switch (index) {
    case 0x05: return QPalette::Base; // window background
    case 0x06: return QPalette::Dark; // window frame
    case 0x07: return QPalette::Text; // menu text
    case 0x08: return QPalette::WindowText; // window text
    case 0x09: return QPalette::HighlightedText; // active caption text
    case 0x0D: return QPalette::Highlight;
    case 0x0E: return QPalette::HighlightedText;
    case 0x0F: return QPalette::Button;
    case 0x10: return QPalette::Mid;
    case 0x12: return QPalette::ButtonText;
    default: return QPalette::WindowText;
    }
}

} // namespace

QColor resolveColor(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u) {
        const QPalette palette = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
            ? QGuiApplication::palette()
            : QPalette();
        return palette.color(QPalette::Active, roleForSystemColor(bits & 0xFFu));
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

} // namespace host
