#pragma once
// Points every per-user folder at a fresh temporary one for the life of the
// test process, before anything reads them: Qt's dialogs keep their state in
// the user's configuration, and nothing a test does may touch the user's own.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vantrel::testing {

class PrivateHome {
public:
    PrivateHome()
    {
        const struct {
            const char* variable;
            const char* folder;
        } places[] = {{"HOME", "home"},          {"XDG_CONFIG_HOME", "config"}, {"XDG_CACHE_HOME", "cache"},
                      {"XDG_DATA_HOME", "data"}, {"XDG_RUNTIME_DIR", "runtime"}};
        for (const auto& place : places) {
            const QString path = dir_.filePath(QString::fromLatin1(place.folder));
            QDir().mkpath(path);
            qputenv(place.variable, QFile::encodeName(path));
        }
        // The runtime folder must be the user's alone.
        QFile::setPermissions(dir_.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

} // namespace vantrel::testing
