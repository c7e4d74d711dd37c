// Description files come from plug-in authors: any bytes must read into a record without a
// crash, and the fields must decode to valid UTF-8 for display.
#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/TextEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPluginInfo plugin("key", "key", "Unknown");
    plugin.ReadDescriptionText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string* field : {&plugin.m_strName, &plugin.m_strCategory, &plugin.m_strAuthor,
                                     &plugin.m_strDescription}) {
        if (!textencoding::IsValidUtf8(textencoding::ToUtf8(*field)))
            std::abort();
        if (field->size() > size + 64)
            std::abort(); // a field can only hold bytes of the file (or a default)
    }
    return 0;
}
