#include "cli/MethodChoice.h"

#include "core/compose/GlassesTypes.h"

namespace korvex {

std::optional<std::string> checkMethodChoice(const ComposeOptions& o)
{
    const bool custom = o.method == AnaglyphMethod::Custom;
    if (o.matrix && !custom)
        return std::string("--matrix needs --method custom");
    if (custom && !o.matrix)
        return std::string("--method custom needs --matrix L;R");
    if (!isMethodAvailable(o.method, o.glasses)) {
        std::string offered;
        for (const GlassesType& type : glassesTypes())
            if (isMethodAvailable(o.method, type.value))
                offered += (offered.empty() ? "" : ", ") + std::string(type.code);
        return "the " + std::string(anaglyphMethodName(o.method)) + " method has no matrices for "
               + std::string(glassesType(o.glasses).code) + " glasses (use " + offered + ")";
    }
    const bool anaglyph = !o.format || *o.format == StereoFormat::Anaglyph;
    if (!anaglyph && (o.method != AnaglyphMethod::Classic || o.matrix))
        return std::string("--method and --matrix are for the anaglyph format");
    return std::nullopt;
}

}  // namespace korvex
