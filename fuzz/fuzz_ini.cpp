// INI reader. What it writes back must read back to the same sections, keys and values.
#include "fuzzsupport.h"
#include "model/inifile.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IniFile ini;
    ini.parse(fuzz::bytesOf(data, size));
    for (const QString& section : ini.sections())
        for (const auto& [key, value] : ini.keyValues(section))
            (void)ini.intValue(section, key, 0);
    IniFile again;
    again.parse(ini.toBytes());
    const QStringList sections = ini.sections();
    LEDSIGN_FUZZ_CHECK(again.sections().size() == sections.size());
    for (const QString& section : sections) {
        LEDSIGN_FUZZ_CHECK(again.keys(section) == ini.keys(section));
        for (const QString& key : ini.keys(section))
            LEDSIGN_FUZZ_CHECK(again.value(section, key) == ini.value(section, key));
    }
    return 0;
}
