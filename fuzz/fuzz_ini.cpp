// INI reader. What it writes back must read back to the same file.
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
    const QByteArray once = ini.toBytes();
    IniFile again;
    again.parse(once);
    LEDSIGN_FUZZ_CHECK(again.toBytes() == once);
    return 0;
}
