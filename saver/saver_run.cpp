// The process's one saver run.
#include "saver/saver_run.h"

namespace nimbrel {

SaverRun& ProcessSaverRun()
{
    // Held for the whole process: PreviewParent is stored before any window
    // exists, and the effects' working values are several kilobytes that a
    // run should not allocate anew.
    static SaverRun run;
    return run;
}

} // namespace nimbrel
