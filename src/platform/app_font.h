#pragma once
// The one face the whole program draws with. The classic UI face is not
// available here; Liberation Sans is metric-compatible with the usual Windows
// sans-serif faces and comes from a Debian package the build scripts install.
// Height 11 px is the classic "8 points at 96 dpi".
#include <QFont>

namespace vantrel::platform {

inline QFont ApplicationFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace vantrel::platform
