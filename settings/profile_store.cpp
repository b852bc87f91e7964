// The process-wide choice of profile store.
#include "settings/profile_store.h"

namespace nimbrel {
namespace {
ProfileStore* installedStore = nullptr;
}

ProfileStore& CurrentProfileStore()
{
    return installedStore ? *installedStore : DefaultProfileStore();
}

void SetCurrentProfileStore(ProfileStore* store)
{
    installedStore = store;
}

} // namespace nimbrel
