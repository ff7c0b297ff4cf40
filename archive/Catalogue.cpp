#include "archive/Catalogue.h"

namespace quorvex {

void LoadStoredCatalogue(TmxStorage& storage)
{
    storage.LoadFromStoredForm(StoredCatalogue());
}

}  // namespace quorvex
