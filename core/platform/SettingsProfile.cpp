#include "core/platform/SettingsProfile.h"

#include <memory>
#include <QSettings>

namespace korvane {

namespace {

QString EntryName(std::string_view section, std::string_view key)
{
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + u'/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

SettingsProfile::SettingsProfile(QString organisation, QString application)
    : m_organisation(std::move(organisation)), m_application(std::move(application))
{}

SettingsProfile SettingsProfile::AtFile(const QString& iniFile)
{
    SettingsProfile profile;
    profile.m_file = iniFile;
    return profile;
}

namespace {

std::unique_ptr<QSettings> OpenStore(const QString& file, const QString& organisation,
                                     const QString& application)
{
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organisation,
                                       application);
}

} // namespace

std::string SettingsProfile::GetProfileString(std::string_view section, std::string_view key,
                                              std::string_view defaultValue) const
{
    const auto store = OpenStore(m_file, m_organisation, m_application);
    const QVariant value = store->value(EntryName(section, key));
    // A hand-edited text with an unquoted comma is read by the settings file as a list of its
    // parts: joined again it is the text that was written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').toStdString();
    // A number stored where text is expected reads as its decimal digits.
    if (!value.isValid() || !value.canConvert<QString>())
        return std::string(defaultValue);
    return value.toString().toStdString();
}

int SettingsProfile::GetProfileInt(std::string_view section, std::string_view key,
                                   int defaultValue) const
{
    const auto store = OpenStore(m_file, m_organisation, m_application);
    const QVariant value = store->value(EntryName(section, key));
    if (!value.isValid())
        return defaultValue;
    // Text where a number is expected reads as that number when it is one, else as the default.
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

bool SettingsProfile::WriteProfileString(std::string_view section, std::string_view key,
                                         std::string_view value) const
{
    const auto store = OpenStore(m_file, m_organisation, m_application);
    store->setValue(EntryName(section, key),
                    QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    store->sync();
    return store->status() == QSettings::NoError;
}

bool SettingsProfile::WriteProfileInt(std::string_view section, std::string_view key,
                                      int value) const
{
    const auto store = OpenStore(m_file, m_organisation, m_application);
    store->setValue(EntryName(section, key), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

} // namespace korvane
