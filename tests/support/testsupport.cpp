#include "testsupport.h"

#include "form/settingsstore.h"

namespace testsupport {

QByteArray Tilde(QByteArray bytes)
{
    return bytes.replace('\0', '~');
}

NotifierRecorder::NotifierRecorder() : m_previous(SetNotifier(this)) {}

NotifierRecorder::~NotifierRecorder()
{
    SetNotifier(m_previous);
}

void NotifierRecorder::messageBox(QWidget *, const QString &text)
{
    messages.append(text);
}

void NotifierRecorder::beep()
{
    ++beeps;
}

TempSettings::TempSettings()
{
    SetSettingsFileOverride(path());
}

TempSettings::~TempSettings()
{
    SetSettingsFileOverride({});
}

QString TempSettings::path() const
{
    return m_dir.filePath(QStringLiteral("fareprobe.conf"));
}

} // namespace testsupport
