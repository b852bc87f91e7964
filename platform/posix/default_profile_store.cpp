// Outside Windows the settings file lives in the per-user folder.
#include "platform/posix/file_profile_store.h"

namespace nimbrel {

ProfileStore& DefaultProfileStore()
{
    static FileProfileStore store;
    return store;
}

} // namespace nimbrel
