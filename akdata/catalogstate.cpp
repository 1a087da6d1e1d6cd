// The library's one catalog set.
#include "akdata/catalogstate.h"

namespace akdata {

CatalogSet& currentCatalog() {
    static CatalogSet set;
    return set;
}

void releaseCurrentCatalog() {
    currentCatalog() = CatalogSet{};
}

} // namespace akdata
