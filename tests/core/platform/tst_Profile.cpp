#include "core/platform/ProfileEntries.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "support/Wine.h"

#include <map>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using namespace korvane;

class tst_Profile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString File() const { return m_dir.filePath("profile.ini"); }

#ifdef Q_OS_WIN
    static constexpr char kApplication[] = "KorvaneMgr";

    static QString KeyOf(const char* section)
    {
        return QString("HKEY_CURRENT_USER\\Software\\%1\\%2\\%3")
            .arg(profile::kOrganisation, kApplication, section);
    }

    // The program's key emptied: it is that of the build's Wine prefix, never a real user's.
    static void EmptyRegistryProfile()
    {
        if (!testsupport::RunsUnderWine())
            QSKIP("writes HKEY_CURRENT_USER\\Software\\Vantor: runs in a scratch Wine prefix only");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, profile::kOrganisation,
                  kApplication)
            .clear();
    }

    // The values of a section's key as reg.exe lists them: "name type data".
    static QStringList RegistryValues(const char* section)
    {
        QProcess reg;
        reg.start("reg", {"query", KeyOf(section)});
        if (!reg.waitForFinished(30000))
            return {"reg.exe did not answer"};
        QStringList values;
        const QRegularExpression line("^\\s+(\\S+)\\s+(REG_\\w+)\\s+(.*?)\\s*$");
        for (const QString& text :
             QString::fromLocal8Bit(reg.readAllStandardOutput()).split('\n')) {
            const auto match = line.match(text);
            if (match.hasMatch())
                values << match.captured(1) + ' ' + match.captured(2) + ' ' + match.captured(3);
        }
        return values;
    }
#endif

private slots:
    // Separators, quotes, blanks and non-ASCII text survive, and are seen at once by another
    // profile object; an entry read as the other type reads sensibly.
    void writesAreStoredAtOnceAsTheyWere()
    {
        const std::map<std::string, std::string> values = {{"Korvane", "/games/k\xc3\xb6rvane/"},
                                                           {"Mods", "korvane\\alpha\\beta"},
                                                           {"ExtraCmdLine", " +exec \"a b\"; x=1 "},
                                                           {"Dedicated", "1"},
                                                           {"Refresh", "yes"}};
        const SettingsProfile writer = SettingsProfile::AtFile(File());
        // Reading what was never written gives the default and creates nothing.
        QCOMPARE(writer.GetProfileInt("Options", "RefreshPlugins", 1), 1);
        QVERIFY(!QFile::exists(File()));
        for (const auto& [key, value] : values)
            QVERIFY(writer.WriteProfileString("QuickExec", key, value));
        const SettingsProfile reader = SettingsProfile::AtFile(File());
        for (const auto& [key, value] : values)
            QCOMPARE(reader.GetProfileString("QuickExec", key), value);
        QCOMPARE(reader.GetProfileInt("QuickExec", "Dedicated", 0), 1);
        QCOMPARE(reader.GetProfileInt("QuickExec", "Refresh", 7), 7);
    }

    // The program's settings read their defaults where nothing is written, and the Korvane
    // folder in the form every folder below it is built on, also when edited by hand.
    void settingsHaveTheirDefaultsAndTheirForm()
    {
        const SettingsProfile profile = SettingsProfile::AtFile(File());
        const Settings settings(profile);
        QVERIFY(settings.RefreshPlugins());
        QCOMPARE(settings.UpdateUrl(), std::string(profile::kDefaultUpdateUrl));
        QVERIFY(settings.KorvaneFolder().Stored().empty() && settings.WindowGeometry().isEmpty());
        QVERIFY(profile.WriteProfileString(profile::kDirectories, profile::kKorvane, "/games/k"));
        QVERIFY(settings.KorvaneFolder().SameAs(Path("/games/k/")));
        QVERIFY(settings.SetRefreshPlugins(false) && !settings.RefreshPlugins());
        const QByteArray geometry("\0\1 any bytes\xff", 13);
        QVERIFY(settings.SetWindowGeometry(geometry));
        QCOMPARE(settings.WindowGeometry(), geometry);
    }

    void handEditedTextReadsAsWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << QByteArray("URL=http://host/a,b.upd") << "http://host/a,b.upd";
        QTest::newRow("quoted") << QByteArray("URL=\"a,b\"") << "a,b";
    }
    void handEditedTextReadsAsWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        // As a player would edit the settings file.
        QFile out(m_dir.filePath("edited.ini"));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("[Updates]\n" + line + "\n");
        out.close();
        const SettingsProfile profile = SettingsProfile::AtFile(out.fileName());
        QCOMPARE(QString::fromStdString(profile.GetProfileString("Updates", "URL")), text);
        // Written back and read again, the text stays the same.
        QVERIFY(profile.WriteProfileString("Updates", "URL", text.toStdString()));
        QCOMPARE(QString::fromStdString(profile.GetProfileString("Updates", "URL")), text);
    }

#ifdef Q_OS_WIN
    // The profile is the registry key HKEY_CURRENT_USER\Software\Vantor\KorvaneMgr: each section
    // a subkey, each text a REG_SZ value, each number a REG_DWORD value, as reg.exe shows them; a
    // player's existing settings, as reg.exe writes them, are read as the program's own.
    void theProfileIsTheProgramsRegistryKey()
    {
        EmptyRegistryProfile();
        const SettingsProfile profile(QString::fromLatin1(profile::kOrganisation), kApplication);
        QVERIFY(profile.WriteProfileString("Directories", "Korvane", "C:\\Games\\Korvane\\"));
        QVERIFY(profile.WriteProfileInt("Options", "RefreshPlugins", 0));
        QVERIFY(profile.WriteProfileString("QuickExec", "ExtraCmdLine",
                                           "+exec \"a b.cs\" \xc3\xa9t\xc3\xa9"));
        QCOMPARE(RegistryValues("Directories"), QStringList{"Korvane REG_SZ C:\\Games\\Korvane\\"});
        QCOMPARE(RegistryValues("Options"), QStringList{"RefreshPlugins REG_DWORD 0x0"});
        QCOMPARE(profile.GetProfileString("QuickExec", "ExtraCmdLine"),
                 std::string("+exec \"a b.cs\" \xc3\xa9t\xc3\xa9"));

        const auto add = [](const char* section, const char* name, const char* type,
                            const char* data) {
            return QProcess::execute("reg", {"add", KeyOf(section), "/v", name, "/t", type, "/d",
                                             data, "/f"}) == 0;
        };
        QVERIFY(add("Directories", "Tribes", "REG_SZ", "C:\\Dynamix Tribes\\"));
        QVERIFY(add("QuickExec", "Dedicated", "REG_DWORD", "1"));
        QCOMPARE(profile.GetProfileString("Directories", "Tribes"),
                 std::string("C:\\Dynamix Tribes\\"));
        QCOMPARE(profile.GetProfileInt("QuickExec", "Dedicated", 7), 1);
    }
#endif
};

QTEST_GUILESS_MAIN(tst_Profile)
#include "tst_Profile.moc"
