#include "cli/ComposeDefaults.h"

#include "core/compose/MixingMatrixText.h"
#include "core/compose/StereoDocument.h"

namespace korvex {

MemoryDefaults composeDefaults(const ComposeOptions& options)
{
    MemoryDefaults defaults;
    defaults.setInteger(StereoDocument::glassesTypeKey, options.glasses);
    defaults.setBool(StereoDocument::colorizeKey, options.colorize);
    defaults.setString(StereoDocument::methodKey, anaglyphMethodName(options.method));
    if (options.matrix)
        defaults.setString(StereoDocument::customMatrixKey, formatMixingMatrices(*options.matrix));
    return defaults;
}

}  // namespace korvex
