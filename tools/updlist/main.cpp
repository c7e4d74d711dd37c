// updlist: writes the update list that the project's web server offers, and prints any update
// list as text.
#include "core/platform/AtomicFile.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/CUpdateList.h"
#include "ListDump.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "UpdateDescription.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace korvane;

using strings::Text;

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Write(const QString& description, const QString& output)
{
    QTextStream err(stderr);
    CUpdateList list;
    QString error;
    if (!ReadUpdateDescription(kpath::ToNative(description.toStdString()), list, error)) {
        err << error << '\n';
        return kFailed;
    }
    ArchiveWriter ar;
    list.Serialize(ar);
    const auto bytes = ar.Take();
    if (!bytes) {
        err << QString::fromStdString(bytes.reason()) << '\n';
        return kFailed;
    }
    if (!kfs::WriteFileAtomically(kpath::ToNative(output.toStdString()), *bytes)) {
        err << Text(strings::kUpdListCannotWrite).arg(output) << '\n';
        return kFailed;
    }
    size_t files = 0;
    for (const auto& update : list.m_arrUpdates)
        files += update->m_arrFiles.size();
    QTextStream(stdout) << Text(strings::kUpdListWritten).arg(output).arg(list.GetSize()).arg(files)
                        << '\n';
    return 0;
}

int Dump(const QString& file)
{
    const auto bytes = kfs::ReadFile(kpath::ToNative(file.toStdString()));
    if (!bytes) {
        QTextStream(stderr) << Text(strings::kUpdListCannotRead).arg(file) << '\n';
        return kFailed;
    }
    QTextStream out(stdout);
    return DumpUpdateList(*bytes, out) ? 0 : kFailed;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("write") && args.size() == 3)
        return Write(args[1], args[2]);
    if (command == QLatin1String("dump") && args.size() == 2)
        return Dump(args[1]);
    const bool help = command == QLatin1String("--help") || command == QLatin1String("-h");
    (help ? QTextStream(stdout) : QTextStream(stderr)) << Text(strings::kUpdListUsage);
    return help ? 0 : kUsage;
}
