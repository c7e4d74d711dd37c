#include "gui/mainwindow/MarkedScan.h"

#include "gui/mainwindow/ClashTexts.h"
#include "gui/widgets/ShownText.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <optional>
#include <QStringList>
#include <unordered_map>
#include <utility>

namespace korvane::mainwindow {

using widgets::ShownText;

namespace {

// A path below storage as the window names it: "storage\weapons\sniper.cs".
QString InStorage(const std::string& path)
{
    return strings::Text(strings::kInStorage).arg(ShownText(path));
}

// Gives a plug-in a mark more, on a line of its own.
void AddMark(MarkedScan::Mark& mark, const QString& text, MarkedScan::Kind kind)
{
    mark.text += (mark.text.isEmpty() ? QString() : QStringLiteral("\n")) + text;
    mark.kinds |= kind;
}

// A twin names the plug-in used in its place; that one names its twins' scripts.
void MarkTwins(MarkedScan& scan)
{
    const CPluginList& catalogue = scan.catalogue;
    std::unordered_map<const CPluginInfo*, QStringList> othersOf;
    std::unordered_map<const CPluginInfo*, size_t> indexOf;
    for (size_t index = 0; index < catalogue.m_arrPlugins.size(); ++index)
        indexOf.emplace(catalogue.m_arrPlugins[index].get(), index);
    for (size_t t = 0; t < scan.twins.size(); ++t) {
        const CPluginInfo& twin = *scan.twins[t].record;
        const CPluginInfo* used = catalogue.Find(twin.m_strFileName);
        if (!used)
            continue;
        othersOf[used] << InStorage(twin.m_strSubdirectory + scan.twins[t].script);
        AddMark(scan.marks[catalogue.m_arrPlugins.size() + t],
                strings::Text(strings::kTwinPassedOver)
                    .arg(ShownText(used->m_strName), InStorage(used->m_strSubdirectory)),
                MarkedScan::kSharesFileName);
    }
    for (const auto& [used, others] : othersOf) {
        const char* text = others.size() == 1 ? strings::kSameKeyOne : strings::kSameKeyMany;
        AddMark(scan.marks[indexOf.at(used)],
                strings::Text(text).arg(others.join(QStringLiteral(", "))),
                MarkedScan::kSharesFileName);
    }
}

// Names the plug-ins in use as the window shows them, and marks every record that stands for a
// plug-in of a clash with its functions and a few of the other plug-ins of each.
void MarkClashes(MarkedScan& scan)
{
    const auto recordOf = [&scan](const auto& plugin) {
        return scan.RecordInUse(plugin.key, plugin.subdirectory);
    };
    const auto nameOf = [&scan](std::optional<size_t> record, const std::string& key) {
        return ShownText(record ? scan.Record(*record)->m_strName : key);
    };
    InUseFunctions& functions = scan.shownFunctions;
    for (const PluginFunctions& plugin : functions.plugins())
        functions.setName(plugin, nameOf(recordOf(plugin), plugin.key));

    struct Marked
    {
        std::vector<ClashTexts::Shared> functions;
        const FunctionClash* last = nullptr; // a copy in another subfolder may come again
    };
    std::unordered_map<size_t, Marked> marked; // by record
    std::vector<std::optional<size_t>> records;
    for (const FunctionClash& clash : functions.clashes()) {
        const auto& definers = clash.plugins;
        records.clear();
        for (const FunctionClash::Definer& definer : definers)
            records.push_back(recordOf(definer));
        for (size_t d = 0; d < definers.size(); ++d) {
            if (!records[d])
                continue;
            Marked& plugin = marked[*records[d]];
            if (plugin.last == &clash)
                continue;
            plugin.last = &clash;
            ClashTexts::Shared shared{QString::fromStdString(clash.function),
                                      {},
                                      static_cast<qsizetype>(definers.size() - 1)};
            for (size_t o = 0; o < definers.size() && shared.others.size() < ClashTexts::kFew;
                 ++o) {
                // Its own copy in another subfolder of plugins is named by its file.
                if (o != d)
                    shared.others << (records[o] == records[d]
                                          ? ShownText(definers[o].file.Stored())
                                          : nameOf(records[o], definers[o].key));
            }
            plugin.functions.push_back(std::move(shared));
        }
    }
    for (const auto& [record, plugin] : marked)
        AddMark(scan.marks[record], ClashTexts::mark(plugin.functions), MarkedScan::kClashes);
}

} // namespace

MarkedScan MarkedScan::Read(const Path& korvaneFolder, ScriptFunctionCache* cache)
{
    MarkedScan scan;
    static_cast<FolderScan&>(scan) = FolderScan::Read(korvaneFolder, cache);
    scan.MakeMarks();
    return scan;
}

void MarkedScan::MakeMarks()
{
    if (m_marked)
        return;
    m_marked = true;
    if (digests.size() != Size())
        MakeDigests();
    marks.assign(Size(), Mark());
    shownFunctions = InUseFunctions(std::move(functions));
    MarkTwins(*this);
    MarkClashes(*this);
}

} // namespace korvane::mainwindow
