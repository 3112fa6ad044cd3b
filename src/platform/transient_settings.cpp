#include "platform/transient_settings.h"

#include <QSettings>

namespace vantrel::platform {

TransientSettings::TransientSettings()
{
    // Without a temporary folder (no writable temporary space at all) the
    // toolkit keeps its usual place: better than scattering files elsewhere.
    if (!folder_.isValid())
        return;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder_.path());
}

} // namespace vantrel::platform
